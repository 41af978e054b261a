#include "modes/BcdCodec.h"

namespace {

constexpr std::uint8_t Unread = 0xFF;

std::uint16_t DecodeField(const std::uint8_t* bytes) {
    auto digits = [](std::uint8_t b) -> unsigned { return b == Unread ? b : DecodeBcdByte(b); };
    return static_cast<std::uint16_t>(digits(bytes[0]) * 100 + digits(bytes[1]));
}

void PutField(std::uint8_t* out, std::uint16_t value) {
    BcdField field = EncodeBcdField(value);
    out[0] = field[0];
    out[1] = field[1];
}

}  // namespace

std::uint8_t DecodeBcdByte(std::uint8_t b) {
    return static_cast<std::uint8_t>((b >> 4) * 10 + (b & 0x0F));
}

ModeRecordBytes EncodeModeRecord(const RestrictionRecord& record) {
    ModeRecordBytes bytes{};
    PutField(&bytes[0], record.Width);
    PutField(&bytes[2], record.Height);
    PutField(&bytes[4], record.Depth);
    PutField(&bytes[6], record.Rate);
    return bytes;
}

RestrictionRecord DecodeModeRecord(const std::uint8_t* bytes) {
    return RestrictionRecord{DecodeField(&bytes[0]), DecodeField(&bytes[2]), DecodeField(&bytes[4]),
                             DecodeField(&bytes[6])};
}
