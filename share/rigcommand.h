#pragma once

#include <QByteArray>
#include <QList>

// One command line of the rigctld network protocol (TCP, one command a line), parsed.
//
// A line holds a command and its arguments separated by blanks. The command is one letter
// ("F") or a backslash and a long name ("\set_freq"). A leading "+", ";", "|" or "," asks for
// extended answers: every answer then names the command, labels its values, ends with
// "RPRT <code>", and separates its parts with a line feed ("+") or with that character.
// Pure functions and values; safe from any thread.
struct RigCommand
{
    enum class Kind {
        Empty,        // a blank line or a "#" comment: no answer at all
        GetFreq,      // f, \get_freq
        SetFreq,      // F, \set_freq FREQ
        GetMode,      // m, \get_mode
        SetMode,      // M, \set_mode MODE PASSBAND
        GetVfo,       // v, \get_vfo
        SetVfo,       // V, \set_vfo VFO
        GetLevel,     // l, \get_level LEVEL
        GetPtt,       // t, \get_ptt
        SetPtt,       // T, \set_ptt PTT
        GetSplitVfo,  // s, \get_split_vfo
        SetSplitVfo,  // S, \set_split_vfo SPLIT TXVFO
        DumpState,    // \dump_state
        CheckVfo,     // \chk_vfo
        GetPowerStat, // \get_powerstat
        GetLockMode,  // \get_lock_mode
        Quit,         // q, Q
        Unknown,      // anything else
    };

    Kind kind = Kind::Empty;
    // 0 for plain answers, otherwise the separator of extended answers ('\n' for "+").
    char separator = 0;
    QByteArray name; // the command as written, without the "+" prefix ("F", "\set_freq")
    QList<QByteArray> arguments;

    bool isExtended() const { return separator != 0; }
    // The protocol's long name without the backslash ("set_freq"); empty for Empty, Quit
    // and Unknown.
    QByteArray longName() const;

    // Parses one line without its terminator. Never fails: what it does not know is Unknown.
    static RigCommand parse(const QByteArray &line);
};
