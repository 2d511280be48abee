#pragma once

#include "util/MessageBoxes.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// A message-box provider for tests of every layer: it records each box and answers from a
// script instead of waiting for a user.
namespace dividra::test {

struct ShownBox {
    std::string text;
    std::string caption;
    unsigned flags = 0;
};

class ScriptedMessageBoxes : public MessageBoxProvider {
public:
    // Records the box, runs the callback, then answers with the next scripted result; with the
    // script used up, with the first button (IDYES for Yes/No boxes, else IDOK).
    int show(std::string_view text, std::string_view caption, unsigned flags) override;

    // Adds answers to the end of the script.
    void answer(int result);
    void answer(std::initializer_list<int> results);
    // Scripted answers not yet used.
    std::size_t pendingAnswers() const { return m_script.size(); }

    // Runs while a box is shown, after it is recorded and before it is answered (to swap a
    // diskette at a prompt, say). The box's number counts from 0.
    void onShow(std::function<void(const ShownBox& box, std::size_t index)> callback);

    const std::vector<ShownBox>& boxes() const { return m_boxes; }
    // The texts of the boxes shown, in order.
    std::vector<std::string> texts() const;
    void clearBoxes() { m_boxes.clear(); }

private:
    std::vector<ShownBox> m_boxes;
    std::deque<int> m_script;
    std::function<void(const ShownBox&, std::size_t)> m_callback;
};

// A ScriptedMessageBoxes installed as the current provider for one scope.
class ScopedScriptedMessageBoxes : public ScriptedMessageBoxes {
public:
    ScopedScriptedMessageBoxes() : m_scope(*this) {}

private:
    ScopedMessageBoxProvider m_scope;
};

} // namespace dividra::test
