// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/MessageRecorder.h"

#include "platform/Types.h"

MessageRecorder::MessageRecorder() {
    m_previous = platform::SetMessageBoxHandler([this](const std::string& text, unsigned) {
        m_messages.push_back(text);
        return IDOK;
    });
}

MessageRecorder::~MessageRecorder() {
    platform::SetMessageBoxHandler(std::move(m_previous));
}
