// SPDX-License-Identifier: GPL-3.0-or-later
// Collects the message boxes shown while it lives, answering each with OK.
#pragma once

#include <string>
#include <vector>

#include "platform/MessageBox.h"

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::string>& Messages() const { return m_messages; }
    void Clear() { m_messages.clear(); }

private:
    std::vector<std::string> m_messages;
    platform::MessageBoxHandler m_previous;
};
