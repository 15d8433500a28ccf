#pragma once
// A message sink for tests: every message the program would show is kept instead and answered
// with OK. It is the program's sink while it lives.
#include "base/MessageDialog.h"

#include <QList>
#include <QStringList>

class RecordingSink final : public TMessageSink {
public:
    QList<TMessageRequest> shown;

    RecordingSink() { SetMessageSink(this); }
    ~RecordingSink() override { SetMessageSink(nullptr); }
    RecordingSink(const RecordingSink &) = delete;
    RecordingSink &operator=(const RecordingSink &) = delete;

    int ShowMessage(const TMessageRequest &request) override
    {
        shown << request;
        return mrOk;
    }
    // "title: text" of each message shown, in turn.
    QStringList texts() const
    {
        QStringList out;
        for (const TMessageRequest &r : shown)
            out << r.title + QStringLiteral(": ") + r.text;
        return out;
    }
};
