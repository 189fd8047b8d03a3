#include "ui/headless/headless_window.h"

#include <algorithm>
#include <cstdio>

#include "app/button_captions.h"
#include "app/list_order.h"
#include "text/program_name.h"
#include "text/text.h"

HeadlessWindow::HeadlessWindow() {
    texts_[IdWordEdit] = L"";
    texts_[IdTrainButton] = kTrainCaption;
    texts_[IdRecognizeButton] = kRecognizeCaption;
    texts_[IdSaveButton] = L"Save ";
    texts_[IdOk] = L"OK";
    texts_[IdCancel] = L"Cancel";
}

std::wstring HeadlessWindow::GetControlText(int controlId) {
    const auto text = texts_.find(controlId);
    return text != texts_.end() ? text->second : std::wstring();
}

void HeadlessWindow::SetButtonCaption(int controlId, const std::wstring& caption) { texts_[controlId] = caption; }

void HeadlessWindow::AddListLine(int listId, const std::wstring& line) {
    std::vector<std::wstring>& lines = lists_[listId];
    const auto position =
        std::upper_bound(lines.begin(), lines.end(), line,
                         [](const std::wstring& a, const std::wstring& b) { return CompareListLines(a, b) < 0; });
    lines.insert(position, line);
}

int HeadlessWindow::CountListLines(int listId) { return static_cast<int>(lists_[listId].size()); }

void HeadlessWindow::DeleteListLine(int listId, int index) {
    std::vector<std::wstring>& lines = lists_[listId];
    if (index >= 0 && static_cast<std::size_t>(index) < lines.size()) {
        lines.erase(lines.begin() + index);
    }
}

void HeadlessWindow::ShowNote(const std::wstring& text) {
    if (!text.empty()) {
        PrintMessage(EscapeControlCharacters(ToNarrowText(text)));
    }
}
