#include "platform/Wnd.h"

void CWnd::SetWindowText(const char* text) {
    m_title = text != nullptr ? text : "";
}
