#pragma once
#include "base/MessageDialog.h"

// Shows messages with a plain message box until the program's own dialog exists.
class TMessageBoxSink final : public TMessageSink {
public:
    int ShowMessage(const TMessageRequest &request) override;
};
