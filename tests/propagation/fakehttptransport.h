#pragma once

// An HttpTransport that holds every GET until the test answers it, in any order.

#include "httptransport.h"

#include <QVector>

class FakeHttpTransport : public HttpTransport
{
public:
    struct Pending
    {
        QUrl url;
        Completion done;
    };

    void get(const QUrl &url, Completion done) override { pending.append({url, std::move(done)}); }
    void abortAll() override
    {
        ++aborts;
        if (abortsSeenOutside)
            ++*abortsSeenOutside;
        pending.clear();
    }

    // Answers the GET whose URL ends with path; false when there is none.
    bool answer(const QString &path, const Download &download)
    {
        for (int i = 0; i < pending.size(); ++i) {
            if (pending[i].url.path().endsWith(path)) {
                const Completion done = pending[i].done;
                pending.removeAt(i);
                done(download);
                return true;
            }
        }
        return false;
    }

    QVector<Pending> pending;
    int aborts = 0;
    int *abortsSeenOutside = nullptr; // counts on after the transport is gone
};
