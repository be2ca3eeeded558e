#include "dialogs/patioeditor.h"
#include "store/prompts.h"
#include "text/files.h"
#include "text/numbers.h"
#include "text/sjis.h"
#include "widgets/actions.h"
#include "widgets/fonts.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

namespace kirano {

namespace {

const QString kCaption = QStringLiteral(u"パティオ編集");

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int x, int y) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, int y) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setGeometry(88, y, 241, 21);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, QRect geometry) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

// A button or menu item as the form names it, its caption and its command;
// a menu item without a command is a separator.
struct Control {
    const char *name;
    const char16_t *caption;
    void (PatioEditor::*run)();
    QRect geometry = {};
};

// The buttons in the form's order, which is also their tab order.
const Control kButtons[] = {
    {"Button1", u"<<", &PatioEditor::showPreviousRecord, {128, 160, 73, 33}},
    {"Button2", u">>", &PatioEditor::showNextRecord, {224, 160, 73, 33}},
    {"Button3", u"追加", &PatioEditor::addRecord, {352, 8, 81, 33}},
    {"Button4", u"削除", &PatioEditor::deleteRecord, {352, 60, 81, 33}},
    {"Button5", u"保存", &PatioEditor::save, {352, 112, 81, 33}},
    {"Button6", u"閉じる", &PatioEditor::closeEditor, {352, 216, 81, 33}},
    {"Button7", u"変更", &PatioEditor::changeRecord, {352, 160, 81, 33}},
};

struct Menu {
    const char *name;
    const char16_t *caption;
    std::vector<Control> items;
};

const Menu kMenus[] = {
    {"New1",
     u"ファイル",
     {{"N1", u"保存", &PatioEditor::save},
      {"N2", nullptr, nullptr},
      {"Close1", u"閉じる", &PatioEditor::closeEditor}}},
    {"Edit4",
     u"編集",
     {{"N3", u"追加", &PatioEditor::addRecord},
      {"Delete1", u"削除", &PatioEditor::deleteRecord},
      {"N4", u"変更", &PatioEditor::changeRecord}}},
};

} // namespace

PatioEditor::PatioEditor(Prompts &prompts, std::function<QString()> mainCaption,
                         std::function<QByteArray()> patioListPath, QWidget *parent)
    : QDialog(parent, Qt::Tool), prompts_(prompts), mainCaption_(std::move(mainCaption)),
      patioListPath_(std::move(patioListPath)) {
    setObjectName(QStringLiteral("TForm3"));
    setFont(windowFont());
    // Where the main window opens too; a moved dialog is not centred on its
    // parent, and keeps the place the user drags it to between showings.
    move(200, 107);

    auto *client = new QWidget(this);
    client->setFixedSize(455, 280);
    QLabel *title = makeLabel(client, "Label4", kCaption, 64, 16);
    QFont underlined = title->font();
    underlined.setUnderline(true);
    underlined.setPixelSize(16);
    title->setFont(underlined);
    makeLabel(client, "Label1", QStringLiteral(u"名称"), 48, 48);
    makeLabel(client, "Label2", QStringLiteral(u"ＩＤ"), 60, 88);
    makeLabel(client, "Label3", QStringLiteral(u"パスワード"), 18, 128);
    nameEdit_ = makeEdit(client, "Edit1", 40);
    idEdit_ = makeEdit(client, "Edit2", 80);
    passwordEdit_ = makeEdit(client, "Edit3", 120);
    // The buttons, created and tabbed in the form's order.
    setTabOrder(nameEdit_, idEdit_);
    setTabOrder(idEdit_, passwordEdit_);
    QWidget *previous = passwordEdit_;
    for (const Control &c : kButtons) {
        QPushButton *button = makeButton(client, c.name, QString::fromUtf16(c.caption), c.geometry);
        setTabOrder(previous, button);
        previous = button;
        connect(button, &QPushButton::clicked, this, c.run);
    }

    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const Menu &m : kMenus) {
        QMenu *menu = bar->addMenu(QString::fromUtf16(m.caption));
        menu->setObjectName(QString::fromLatin1(m.name));
        for (const Control &c : m.items) {
            if (!c.run) {
                menu->addSeparator()->setObjectName(QString::fromLatin1(c.name));
                continue;
            }
            QAction *action = makeAction(this, c.name, QString::fromUtf16(c.caption));
            menu->addAction(action);
            connect(action, &QAction::triggered, this, c.run);
        }
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(bar);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PatioEditor::showEvent(QShowEvent *event) {
    loadRecords();
    QDialog::showEvent(event);
}

void PatioEditor::loadRecords() {
    modified_ = false;
    setWindowTitle(mainCaption_());
    records_.clear();
    currentIndex_ = -1;
    const QString path = text::nativePath(patioListPath_());
    if (!text::fileExists(path)) {
        showRecord();
        return;
    }
    text::Result<QList<PatioRecord>> read = readPatioList(path);
    if (!read)
        prompts_.message(read.error().text());
    records_ = read.value_or(QList<PatioRecord>());
    currentIndex_ = 0;
    showRecord();
}

void PatioEditor::showRecord() {
    if (currentIndex_ < 0 || currentIndex_ >= records_.size()) {
        nameEdit_->clear();
        idEdit_->clear();
        passwordEdit_->clear();
        currentIndex_ = -1;
        return;
    }
    const PatioRecord &record = records_[currentIndex_];
    nameEdit_->setText(text::decode(record.name));
    idEdit_->setText(text::decode(record.id));
    passwordEdit_->setText(text::decode(record.password));
}

void PatioEditor::showPreviousRecord() {
    if (lastIndex() < 0)
        return;
    currentIndex_ = currentIndex_ > 0 ? currentIndex_ - 1 : lastIndex();
    showRecord();
}

void PatioEditor::showNextRecord() {
    if (lastIndex() < 0)
        return;
    currentIndex_ = currentIndex_ < lastIndex() ? currentIndex_ + 1 : 0;
    showRecord();
}

std::optional<QByteArray> PatioEditor::askField(const QString &prompt) {
    const QString answer = prompts_.inputBox(kCaption, prompt, QString());
    if (answer.isEmpty())
        return std::nullopt;
    return encodeTypedAnswer(prompts_, answer);
}

std::optional<QByteArray> PatioEditor::queryField(const QString &prompt, QLineEdit *current,
                                                  const QByteArray &stored) {
    const QString shown = current->text();
    std::optional<QString> answer = prompts_.inputQuery(kCaption, prompt, shown);
    if (!answer)
        return std::nullopt;
    // An answer left as shown keeps the field's bytes: an invalid byte, a
    // lone lead byte or the other code of a duplicated character would not
    // come back from the screen text.
    if (*answer == shown)
        return stored;
    return encodeTypedAnswer(prompts_, *answer);
}

void PatioEditor::addRecord() {
    PatioRecord record;
    std::optional<QByteArray> name = askField(QStringLiteral(u"パティオの名称"));
    if (!name)
        return;
    std::optional<QByteArray> id = askField(QStringLiteral(u"パティオのＩＤ"));
    if (!id)
        return;
    std::optional<QByteArray> password = askField(QStringLiteral(u"パティオのパスワード"));
    if (!password)
        return;
    records_.append({*name, text::asciiUpper(*id), *password});
    currentIndex_ = lastIndex();
    modified_ = true;
    showRecord();
}

void PatioEditor::changeRecord() {
    if (lastIndex() < 0) {
        prompts_.message(QStringLiteral(u"変更できません"));
        return;
    }
    const PatioRecord &record = records_[currentIndex_];
    std::optional<QByteArray> name = queryField(QStringLiteral(u"名称"), nameEdit_, record.name);
    if (!name)
        return;
    std::optional<QByteArray> id = queryField(QStringLiteral(u"ＩＤ"), idEdit_, record.id);
    if (!id)
        return;
    std::optional<QByteArray> password =
        queryField(QStringLiteral(u"パスワード"), passwordEdit_, record.password);
    if (!password)
        return;
    records_[currentIndex_] = {*name, text::asciiUpper(*id), *password};
    modified_ = true;
    showRecord();
}

void PatioEditor::deleteRecord() {
    if (lastIndex() < 0) {
        prompts_.message(QStringLiteral(u"削除できません"));
        return;
    }
    if (!prompts_.confirmYesNo(QStringLiteral(u"削除しますか")))
        return;
    records_.removeAt(currentIndex_);
    currentIndex_ = 0;
    modified_ = true;
    showRecord();
}

bool PatioEditor::saveRecords() {
    const QByteArray path = patioListPath_();
    if (records_.isEmpty()) {
        // A missing file is deleted already; one that stays, with the
        // passwords it holds, is no success to report.
        if (const text::Result<> removed = text::removeFile(text::nativePath(path)); !removed) {
            prompts_.message(text::cannotDeleteText(text::decode(path), removed.error()));
            return false;
        }
        prompts_.message(QStringLiteral(u"データが無いのでPATIOリストを削除しました"));
        modified_ = false;
        return true;
    }
    // An empty path (no settings file yet) names no file to create.
    if (path.isEmpty() || !writePatioList(text::nativePath(path), records_)) {
        prompts_.message(text::cannotCreateText(text::decode(path)));
        return false;
    }
    modified_ = false;
    return true;
}

void PatioEditor::done(int result) {
    if (modified_ &&
        prompts_.confirmYesNo(QStringLiteral(u"データが変更されています\r\n保存しますか")) &&
        !saveRecords())
        return;
    QDialog::done(result);
}

} // namespace kirano
