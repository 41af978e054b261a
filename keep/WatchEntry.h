#pragma once
// The value under Run that starts the watch at every logon. Plain constants alone: the setup
// DLL (release/CadenzoSetup.cpp), built apart from the program, removes the entry too.

inline constexpr char RunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char WatchRunValue[] = "Cadenzo watch";
inline constexpr char WatchSwitch[] = "/WATCH";
