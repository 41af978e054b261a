#include "lang/TextTable.h"

const TextSlot TextTable[TextSlotCount] = {
#define CADENZO_TEXT_SLOT(name, slot, builtIn) {TextId::name, #name, builtIn},
    CADENZO_LANGUAGE_TEXTS(CADENZO_TEXT_SLOT)
#undef CADENZO_TEXT_SLOT
};

const char* BuiltInText(TextId id) {
    for (const TextSlot& slot : TextTable) {
        if (slot.id == id) return slot.builtIn;
    }
    return "";
}
