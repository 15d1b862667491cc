// src/keyboard/ActionListener.h - told when something it listens to has done its work.
#pragma once

namespace keywhirl {

template <typename Source> class ActionListener {
public:
    virtual ~ActionListener() = default;
    virtual void onAction(Source& source) = 0;
};

} // namespace keywhirl
