#pragma once
// The main window without a display, for parrot-cli: controls are kept in
// memory, list lines in the list boxes' order.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_window.h"

class HeadlessWindow : public DialogWindow {
public:
    HeadlessWindow();

    std::wstring GetControlText(int controlId) override;
    void SetButtonCaption(int controlId, const std::wstring& caption) override;
    void AddListLine(int listId, const std::wstring& line) override;
    int CountListLines(int listId) override;
    void DeleteListLine(int listId, int index) override;
    void SetIcons() override {}
    void CentreOnScreen() override {}
    // There is no splash box without a display: it counts as closed with OK.
    int RunSplashDialog() override { return IdOk; }
    void EndDialog(int result) override { result_ = result; }
    // Actions press one button at a time, each press to its end, so no
    // button is ever pressed while it would be disabled.
    void EnableButton(int, bool) override {}
    void ShowRecordingIndicator(bool) override {}
    // parrot-cli says itself when a recognition accepted no word.
    void ShowListPlaceholder(int, const std::wstring&) override {}
    void ShowListLine(int, const std::wstring&) override {}
    // Notes go to stderr; they are no failure.
    void ShowNote(const std::wstring& text) override;
    // Every action is asked for on the command line, so it is confirmed.
    bool Confirm(const std::wstring&) override { return true; }
    // Nothing is saved unless "save" is given.
    CloseChoice AskSaveBeforeClosing() override { return CloseChoice::Discard; }

    // What a user would type into the edit box.
    void SetEditText(const std::wstring& text) { texts_[IdWordEdit] = text; }
    const std::vector<std::wstring>& ListLines(int listId) { return lists_[listId]; }
    // The result the dialog ended with, once it has ended.
    std::optional<int> Result() const { return result_; }

private:
    std::map<int, std::wstring> texts_;
    std::map<int, std::vector<std::wstring>> lists_;
    std::optional<int> result_;
};
