#include "app/inputdialog.h"
#include "text/sjis.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace kirano {

namespace {

// Every answer is one line of a file: line breaks and NULs, typed or pasted,
// never get in. An edit that would make the text longer than the file fields
// allow, counted in the bytes it will be stored as, is refused.
class OneLineValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override {
        for (qsizetype i = input.size() - 1; i >= 0; --i) {
            const QChar c = input.at(i);
            if (c != u'\r' && c != u'\n' && c != u'\0')
                continue;
            input.remove(i, 1);
            if (i < position)
                --position;
        }
        return text::encodedLength(input) <= InputDialog::kMaxBytes ? Acceptable : Invalid;
    }
};

} // namespace

InputDialog::InputDialog(const QString &caption, const QString &prompt, const QString &initial,
                         QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("InputDialog"));
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(prompt, this);
    label->setObjectName(QStringLiteral("Prompt"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit"));
    edit_->setValidator(new OneLineValidator(edit_));
    edit_->setText(initial);
    edit_->selectAll();
    edit_->setMinimumWidth(260);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    QPushButton *cancel =
        buttons->addButton(QStringLiteral(u"ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

QString InputDialog::text() const {
    return edit_->text();
}

} // namespace kirano
