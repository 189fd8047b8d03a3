#pragma once
// A window for exercising the dialog logic: keeps every control's state in
// memory and records the calls made to it.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/button_captions.h"
#include "app/dialog_window.h"
#include "app/list_order.h"

class FakeDialogWindow : public DialogWindow {
public:
    FakeDialogWindow() {
        texts[IdTrainButton] = kTrainCaption;
        texts[IdRecognizeButton] = kRecognizeCaption;
    }

    std::wstring GetControlText(int controlId) override { return texts[controlId]; }
    void SetButtonCaption(int controlId, const std::wstring& caption) override { texts[controlId] = caption; }
    void AddListLine(int listId, const std::wstring& line) override {
        auto& lines = lists[listId];
        placeholders.erase(listId);
        lines.insert(std::upper_bound(lines.begin(), lines.end(), line,
                                      [](const auto& a, const auto& b) { return CompareListLines(a, b) < 0; }),
                     line);
    }
    int CountListLines(int listId) override { return static_cast<int>(lists[listId].size()); }
    void DeleteListLine(int listId, int index) override {
        auto& lines = lists[listId];
        if (index >= 0 && index < static_cast<int>(lines.size())) {
            lines.erase(lines.begin() + index);
        }
    }
    void SetIcons() override {}
    void CentreOnScreen() override {}
    int RunSplashDialog() override { return IdOk; }
    void EndDialog(int result) override { endResults.push_back(result); }
    void EnableButton(int controlId, bool enabled) override { disabled[controlId] = !enabled; }
    void ShowRecordingIndicator(bool shown) override { indicatorShown = shown; }
    void ShowListPlaceholder(int listId, const std::wstring& text) override { placeholders[listId] = text; }
    void ShowListLine(int listId, const std::wstring& line) override { shownLines[listId] = line; }
    void ShowNote(const std::wstring& text) override { note = text; }
    bool Confirm(const std::wstring& question) override {
        questions.push_back(question);
        return confirmAnswer;
    }
    CloseChoice AskSaveBeforeClosing() override {
        ++closeQuestions;
        return closeChoice;
    }

    std::map<int, std::wstring> texts;
    std::map<int, std::vector<std::wstring>> lists;
    std::map<int, bool> disabled;
    std::vector<int> endResults;
    bool indicatorShown = false;
    std::map<int, std::wstring> placeholders;
    std::map<int, std::wstring> shownLines;
    std::wstring note;
    std::vector<std::wstring> questions;
    bool confirmAnswer = true;
    int closeQuestions = 0;
    CloseChoice closeChoice = CloseChoice::Discard;
};
