// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Resources.h"

#include <map>
#include <utility>

namespace platform {
namespace {
struct Registry {
    std::map<UINT, std::string> strings;
    std::map<UINT, Icon> icons;
    std::map<int, DialogTemplate> dialogs;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}
}  // namespace

void RegisterString(UINT id, std::string text) {
    TheRegistry().strings[id] = std::move(text);
}
void RegisterIcon(UINT id, Icon icon) {
    TheRegistry().icons[id] = std::move(icon);
}
void RegisterDialogTemplate(DialogTemplate dialogTemplate) {
    const int id = dialogTemplate.id;
    TheRegistry().dialogs[id] = std::move(dialogTemplate);
}

BOOL LoadStringResource(UINT id, std::string& text) {
    const auto& strings = TheRegistry().strings;
    const auto found = strings.find(id);
    text = found != strings.end() ? found->second : std::string();
    return found != strings.end();
}

const DialogTemplate* FindDialogTemplate(int id) {
    const auto& dialogs = TheRegistry().dialogs;
    const auto found = dialogs.find(id);
    return found != dialogs.end() ? &found->second : nullptr;
}

const IconImage* Icon::Best(int size) const {
    const IconImage* best = nullptr;
    for (const IconImage& image : images) {
        if (image.size == size) return &image;
        // The smallest image larger than size, else the largest one.
        if (best == nullptr ||
            (image.size > size && (best->size < size || image.size < best->size)) ||
            (best->size < size && image.size > best->size)) {
            best = &image;
        }
    }
    return best;
}

}  // namespace platform

HICON LoadIcon(UINT resourceId) {
    const auto& icons = platform::TheRegistry().icons;
    const auto found = icons.find(resourceId);
    return found != icons.end() ? &found->second : nullptr;
}

namespace platform {
RECT DialogItemRect(const DialogItem& item) {
    const int left = DialogUnitsToPixelsX(item.x);
    const int top = DialogUnitsToPixelsY(item.y);
    return RECT{left, top, left + DialogUnitsToPixelsX(item.width),
                top + DialogUnitsToPixelsY(item.height)};
}
}  // namespace platform
