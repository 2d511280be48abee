#include "support/ScriptedMessageBoxes.h"

#include <utility>

namespace dividra::test {

int ScriptedMessageBoxes::show(std::string_view text, std::string_view caption, unsigned flags) {
    m_boxes.push_back({std::string(text), std::string(caption), flags});
    if (m_callback) {
        // A copy: the callback may show boxes of its own, which reallocates m_boxes.
        const ShownBox box = m_boxes.back();
        m_callback(box, m_boxes.size() - 1);
    }
    if (!m_script.empty()) {
        const int result = m_script.front();
        m_script.pop_front();
        return result;
    }
    return (flags & MB_BUTTONMASK) == MB_YESNO ? IDYES : IDOK;
}

void ScriptedMessageBoxes::answer(int result) {
    m_script.push_back(result);
}

void ScriptedMessageBoxes::answer(std::initializer_list<int> results) {
    m_script.insert(m_script.end(), results.begin(), results.end());
}

void ScriptedMessageBoxes::onShow(std::function<void(const ShownBox&, std::size_t)> callback) {
    m_callback = std::move(callback);
}

std::vector<std::string> ScriptedMessageBoxes::texts() const {
    std::vector<std::string> out;
    for (const ShownBox& box : m_boxes) {
        out.push_back(box.text);
    }
    return out;
}

} // namespace dividra::test
