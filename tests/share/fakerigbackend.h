#pragma once

#include "rigbackend.h"

#include <QVector>

// A receiver for protocol tests: its state is fields, its requests are recorded.
class FakeRigBackend : public RigBackend
{
public:
    Status status() const override { return state; }
    Result tune(qint64 hertz) override
    {
        tunes.append(hertz);
        if (result == Result::Ok)
            state.frequency = hertz;
        return result;
    }
    Result setMode(int code) override
    {
        modes.append(code);
        if (result == Result::Ok)
            state.mode = state.effectiveMode = code;
        return result;
    }
    Result readSignalLevel(int *level) override
    {
        ++levelReads;
        *level = freshLevel;
        if (result == Result::Ok)
            state.signalLevel = freshLevel;
        return result;
    }

    Status state{true, false, 7050000, 3, 3, 146};
    Result result = Result::Ok;
    int freshLevel = 146;
    QVector<qint64> tunes;
    QVector<int> modes;
    int levelReads = 0;
};
