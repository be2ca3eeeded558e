#include "dialogs/patioeditor.h"
#include "dialogs/prompts.h"
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
    Edit1 = makeEdit(client, "Edit1", 40);
    Edit2 = makeEdit(client, "Edit2", 80);
    Edit3 = makeEdit(client, "Edit3", 120);
    QPushButton *previous = makeButton(client, "Button1", QStringLiteral("<<"), {128, 160, 73, 33});
    QPushButton *next = makeButton(client, "Button2", QStringLiteral(">>"), {224, 160, 73, 33});
    QPushButton *add = makeButton(client, "Button3", QStringLiteral(u"追加"), {352, 8, 81, 33});
    QPushButton *remove = makeButton(client, "Button4", QStringLiteral(u"削除"), {352, 60, 81, 33});
    QPushButton *save = makeButton(client, "Button5", QStringLiteral(u"保存"), {352, 112, 81, 33});
    QPushButton *change =
        makeButton(client, "Button7", QStringLiteral(u"変更"), {352, 160, 81, 33});
    QPushButton *closeButton =
        makeButton(client, "Button6", QStringLiteral(u"閉じる"), {352, 216, 81, 33});
    QWidget *order[] = {Edit1, Edit2,  Edit3, previous,    next,
                        add,   remove, save,  closeButton, change};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = bar->addMenu(QStringLiteral(u"ファイル"));
    file->setObjectName(QStringLiteral("New1"));
    QAction *N1 = makeAction(this, "N1", QStringLiteral(u"保存"));
    QAction *Close1 = makeAction(this, "Close1", QStringLiteral(u"閉じる"));
    file->addAction(N1);
    file->addSeparator()->setObjectName(QStringLiteral("N2"));
    file->addAction(Close1);
    QMenu *edit = bar->addMenu(QStringLiteral(u"編集"));
    edit->setObjectName(QStringLiteral("Edit4"));
    QAction *N3 = makeAction(this, "N3", QStringLiteral(u"追加"));
    QAction *Delete1 = makeAction(this, "Delete1", QStringLiteral(u"削除"));
    QAction *N4 = makeAction(this, "N4", QStringLiteral(u"変更"));
    edit->addActions({N3, Delete1, N4});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(bar);
    layout->addWidget(client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(previous, &QPushButton::clicked, this, &PatioEditor::Button1Click);
    connect(next, &QPushButton::clicked, this, &PatioEditor::Button2Click);
    for (auto [button, action, handler] :
         {std::tuple{add, N3, &PatioEditor::N3Click}, std::tuple{change, N4, &PatioEditor::N4Click},
          std::tuple{remove, Delete1, &PatioEditor::Delete1Click}}) {
        connect(button, &QPushButton::clicked, this, handler);
        connect(action, &QAction::triggered, this, handler);
    }
    connect(save, &QPushButton::clicked, this, &PatioEditor::N1Click);
    connect(N1, &QAction::triggered, this, &PatioEditor::N1Click);
    connect(closeButton, &QPushButton::clicked, this, &PatioEditor::Close1Click);
    connect(Close1, &QAction::triggered, this, &PatioEditor::Close1Click);
}

void PatioEditor::showEvent(QShowEvent *event) {
    FormShow();
    QDialog::showEvent(event);
}

void PatioEditor::FormShow() {
    modified_ = false;
    setWindowTitle(mainCaption_());
    records_.clear();
    currentIndex_ = -1;
    const QString path = text::nativePath(patioListPath_());
    if (!text::fileExists(path)) {
        showRecord();
        return;
    }
    text::IoError error;
    std::optional<QList<PatioRecord>> read = readPatioList(path, &error);
    if (!read)
        prompts_.message(error.text());
    records_ = read.value_or(QList<PatioRecord>());
    currentIndex_ = 0;
    showRecord();
}

void PatioEditor::showRecord() {
    if (currentIndex_ < 0 || currentIndex_ >= records_.size()) {
        Edit1->clear();
        Edit2->clear();
        Edit3->clear();
        currentIndex_ = -1;
        return;
    }
    const PatioRecord &record = records_[currentIndex_];
    Edit1->setText(text::decode(record.name));
    Edit2->setText(text::decode(record.id));
    Edit3->setText(text::decode(record.password));
}

void PatioEditor::Button1Click() {
    if (lastIndex() < 0)
        return;
    currentIndex_ = currentIndex_ > 0 ? currentIndex_ - 1 : lastIndex();
    showRecord();
}

void PatioEditor::Button2Click() {
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

void PatioEditor::N3Click() {
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

void PatioEditor::N4Click() {
    if (lastIndex() < 0) {
        prompts_.message(QStringLiteral(u"変更できません"));
        return;
    }
    const PatioRecord &record = records_[currentIndex_];
    std::optional<QByteArray> name = queryField(QStringLiteral(u"名称"), Edit1, record.name);
    if (!name)
        return;
    std::optional<QByteArray> id = queryField(QStringLiteral(u"ＩＤ"), Edit2, record.id);
    if (!id)
        return;
    std::optional<QByteArray> password =
        queryField(QStringLiteral(u"パスワード"), Edit3, record.password);
    if (!password)
        return;
    records_[currentIndex_] = {*name, text::asciiUpper(*id), *password};
    modified_ = true;
    showRecord();
}

void PatioEditor::Delete1Click() {
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

bool PatioEditor::N1Click() {
    return saveRecords();
}

bool PatioEditor::saveRecords() {
    const QByteArray path = patioListPath_();
    if (records_.isEmpty()) {
        // A missing file is deleted already; one that stays, with the
        // passwords it holds, is no success to report.
        if (std::optional<text::IoError> error = text::removeFile(text::nativePath(path))) {
            prompts_.message(text::cannotDeleteText(text::decode(path), *error));
            return false;
        }
        prompts_.message(QStringLiteral(u"データが無いのでPATIOリストを削除しました"));
        modified_ = false;
        return true;
    }
    // An empty path (no settings file yet) names no file to create.
    if (path.isEmpty() || writePatioList(text::nativePath(path), records_)) {
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
