#pragma once

// The document engine as the main sequence sees it: a status (1 = ready) and a lifetime.
class TEngineHandle {
public:
    virtual ~TEngineHandle() = default;
    virtual int Status() const = 0;
};
