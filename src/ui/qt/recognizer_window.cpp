#include "ui/qt/recognizer_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <utility>

#include "app/button_captions.h"
#include "app/list_order.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/list_box.h"
#include "ui/qt/program_resources.h"
#include "ui/qt/recording_indicator.h"
#include "ui/qt/splash_box.h"

namespace {

const char* const kControlIdProperty = "controlId";

template <typename Control>
Control* Place(Control* control, const DialogUnits& units, const DialogRect& place) {
    control->setGeometry(units.ToPixels(place));
    return control;
}

// A line of an outcome as a sentence of the message box.
QString Sentence(const std::string& line) {
    QString text = QString::fromStdString(line);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}

ListBox* MakeListBox(QWidget* parent, int id) {
    auto* list = new ListBox(parent);
    list->setProperty(kControlIdProperty, id);
    list->setFrameShape(QFrame::StyledPanel);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

}  // namespace

RecognizerWindow::RecognizerWindow(WindowCommands commands, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      commands_(std::move(commands)) {
    setWindowTitle(QStringLiteral("Embedded Speech Recognition Engine"));
    setFont(DialogFont(QStringLiteral("Arial"), 8));
    const DialogUnits units(font());
    setFixedSize(units.ToPixels(230, 143));

    const auto addButton = [&](int id, const wchar_t* caption, const DialogRect& place) {
        auto* button = Place(new QPushButton(QString::fromWCharArray(caption), this), units, place);
        button->setProperty(kControlIdProperty, id);
        button->setAutoDefault(false);
        button->setDefault(id == IdTrainButton);
        connect(button, &QPushButton::clicked, this, [this, id] { commands_.command(id); });
    };

    // Created in tab order.
    Place(new QLabel(QStringLiteral("Available Words"), this), units, {7, 6, 76, 8});
    auto* wordEdit = Place(new QLineEdit(this), units, {91, 18, 101, 10});
    wordEdit->setProperty(kControlIdProperty, IdWordEdit);
    Place(new QLabel(QStringLiteral("New Word"), this), units, {92, 6, 102, 10});
    addButton(IdTrainButton, kTrainCaption, {91, 36, 100, 10});
    addButton(IdRecognizeButton, kRecognizeCaption, {91, 49, 99, 11});
    addButton(IdOk, L"OK", {164, 108, 53, 13});
    addButton(IdCancel, L"Cancel", {164, 124, 53, 13});
    addButton(IdSaveButton, L"Save ", {6, 124, 69, 13});
    QListWidget* words = Place(MakeListBox(this, IdWordList), units, {7, 15, 70, 102});
    Place(MakeListBox(this, IdResultList), units, {91, 72, 124, 30});
    Place(new QLabel(QStringLiteral("Recognition Result Score"), this), units, {93, 63, 110, 8});

    // Outside the tab order, in the free space beside "Save ".
    indicator_ = Place(new RecordingIndicator(this), units, {81, 106, 78, 16});
    note_ = Place(new QLabel(this), units, {81, 106, 78, 32});
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    words->installEventFilter(this);
    words->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(words, &QListWidget::customContextMenuRequested, this, [this, words](const QPoint& position) {
        const QListWidgetItem* item = words->itemAt(position);
        if (item == nullptr) return;
        QMenu* menu = WordMenu(item->text().toStdWString());
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(words->viewport()->mapToGlobal(position));
    });

    wordEdit->setFocus();
}

QWidget* RecognizerWindow::Control(int controlId) const {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant id = child->property(kControlIdProperty);
        if (id.isValid() && id.toInt() == controlId) return child;
    }
    return nullptr;
}

ListBox* RecognizerWindow::List(int listId) const { return dynamic_cast<ListBox*>(Control(listId)); }

std::wstring RecognizerWindow::GetControlText(int controlId) {
    QWidget* control = Control(controlId);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdWString();
    if (auto* button = qobject_cast<QPushButton*>(control)) return button->text().toStdWString();
    return {};
}

void RecognizerWindow::SetButtonCaption(int controlId, const std::wstring& caption) {
    if (auto* button = qobject_cast<QPushButton*>(Control(controlId))) {
        button->setText(QString::fromStdWString(caption));
        button->repaint();  // seen at once, even before long work in the same press
    }
}

void RecognizerWindow::AddListLine(int listId, const std::wstring& line) {
    ListBox* list = List(listId);
    if (list == nullptr) return;
    list->SetPlaceholder({});
    // After every line that sorts before or equal to the new one.
    int low = 0;
    int high = list->count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareListLines(list->item(middle)->text().toStdWString(), line) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    list->insertItem(low, QString::fromStdWString(line));
}

int RecognizerWindow::CountListLines(int listId) {
    const QListWidget* list = List(listId);
    return list == nullptr ? 0 : list->count();
}

void RecognizerWindow::DeleteListLine(int listId, int index) {
    QListWidget* list = List(listId);
    if (list == nullptr || index < 0 || index >= list->count()) return;
    delete list->takeItem(index);
}

void RecognizerWindow::SetIcons() { setWindowIcon(ProgramIcon()); }

void RecognizerWindow::CentreOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) return;
    QRect place = frameGeometry();
    place.moveCenter(screen->availableGeometry().center());
    move(place.topLeft());
}

int RecognizerWindow::RunSplashDialog() {
    SplashBox splash;
    return splash.exec() == QDialog::Accepted ? IdOk : IdCancel;
}

void RecognizerWindow::EndDialog(int result) {
    ending_ = true;
    done(result);
    ending_ = false;
}

void RecognizerWindow::ShowOutcome(const CommandOutcome& outcome) {
    if (!outcome.Failed()) return;
    QStringList lines;
    for (const std::string& failure : outcome.failures) lines.append(Sentence(failure));
    if (!outcome.done.empty()) lines.append(Sentence(outcome.done));
    QMessageBox message(QMessageBox::NoIcon, QCoreApplication::applicationName(), lines.join(QLatin1Char('\n')),
                        QMessageBox::Ok, this);
    message.exec();
}

void RecognizerWindow::EnableButton(int controlId, bool enabled) {
    if (auto* button = qobject_cast<QPushButton*>(Control(controlId))) button->setEnabled(enabled);
}

void RecognizerWindow::ShowRecordingIndicator(bool shown) {
    if (shown) note_->clear();
    indicator_->SetRecording(shown);
}

void RecognizerWindow::ShowListLine(int listId, const std::wstring& line) {
    QListWidget* list = List(listId);
    if (list == nullptr) return;
    const QList<QListWidgetItem*> found = list->findItems(QString::fromStdWString(line), Qt::MatchExactly);
    if (found.isEmpty()) return;
    list->setCurrentItem(found.front());
    list->scrollToItem(found.front());
}

void RecognizerWindow::ShowListPlaceholder(int listId, const std::wstring& text) {
    if (ListBox* list = List(listId)) list->SetPlaceholder(QString::fromStdWString(text));
}

void RecognizerWindow::ShowNote(const std::wstring& text) { note_->setText(QString::fromStdWString(text)); }

bool RecognizerWindow::Confirm(const std::wstring& question) {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), QString::fromStdWString(question),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

CloseChoice RecognizerWindow::AskSaveBeforeClosing() {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    QStringLiteral("Save the vocabulary before closing?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return CloseChoice::Save;
        case QMessageBox::Discard:
            return CloseChoice::Discard;
        default:
            return CloseChoice::Cancel;
    }
}

QMenu* RecognizerWindow::WordMenu(const std::wstring& word) {
    auto* menu = new QMenu(this);
    const std::vector<std::int32_t> takes = commands_.takesOf(word);
    menu->addAction(takes.size() == 1 ? QStringLiteral("1 take") : QStringLiteral("%1 takes").arg(takes.size()))
        ->setEnabled(false);
    for (std::size_t i = 0; i < takes.size(); ++i) {
        const std::int32_t take = takes[i];
        menu->addAction(QStringLiteral("Play take %1").arg(i + 1), this, [this, take] { commands_.playTake(take); });
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("Forget word"), this, [this, word] { commands_.forgetWord(word); });
    return menu;
}

std::wstring RecognizerWindow::CurrentWord() const {
    const QListWidgetItem* item = List(IdWordList)->currentItem();
    return item != nullptr ? item->text().toStdWString() : std::wstring();
}

bool RecognizerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List(IdWordList) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (const std::wstring word = CurrentWord(); !word.empty()) commands_.forgetWord(word);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void RecognizerWindow::accept() { commands_.command(IdOk); }

void RecognizerWindow::reject() { commands_.command(IdCancel); }

void RecognizerWindow::closeEvent(QCloseEvent* event) {
    if (ending_) {
        event->accept();
        return;
    }
    // The logic decides; ending the dialog hides the window.
    event->ignore();
    commands_.close();
}
