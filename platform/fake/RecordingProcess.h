#pragma once
#include "platform/Process.h"

#include <vector>

namespace pl::fake {

// Records what would have been started and answers with a set result. Installed for its
// lifetime.
class RecordingProcess final : public Process {
public:
    struct Start {
        QStringList argv;
        QStringList unsetNames;
    };
    std::vector<Start> starts;
    bool succeed = true;
    ProcessError failure{2, QStringLiteral("No such file or directory")};

    RecordingProcess() { setProcess(this); }
    ~RecordingProcess() override { setProcess(nullptr); }
    RecordingProcess(const RecordingProcess &) = delete;
    RecordingProcess &operator=(const RecordingProcess &) = delete;

    bool start(const QStringList &argv, const QStringList &unsetNames, ProcessError &error) override
    {
        starts.push_back({argv, unsetNames});
        error = succeed ? ProcessError{} : failure;
        return succeed;
    }
};

} // namespace pl::fake
