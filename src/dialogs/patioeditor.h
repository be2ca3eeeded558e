#pragma once
#include "dialogs/patiofile.h"

#include <QDialog>
#include <functional>

class QLineEdit;

namespace kirano {

class Prompts;

// TForm3: browse, add, change, delete and save the patio records of
// "patiolist.txt". Every showing starts again from the file.
class PatioEditor : public QDialog {
    Q_OBJECT
  public:
    // The main window's caption and patio list path are read at each use.
    PatioEditor(Prompts &prompts, std::function<QString()> mainCaption,
                std::function<QByteArray()> patioListPath, QWidget *parent = nullptr);

    void Button1Click(); // "<<"
    void Button2Click(); // ">>"
    void N3Click();      // add
    void N4Click();      // change
    void Delete1Click();
    // Writes the records, or deletes the file when there are none. False when
    // the file could not be written or deleted; the records stay and so does
    // `modified`.
    bool N1Click();
    void Close1Click() { close(); }

    const QList<PatioRecord> &records() const { return records_; }
    int currentIndex() const { return currentIndex_; }
    int lastIndex() const { return static_cast<int>(records_.size()) - 1; }
    bool modified() const { return modified_; }

    // Every way of closing comes here: asks to save changes first, and stays
    // open when saving fails.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void FormShow();
    void showRecord();
    bool saveRecords();
    std::optional<QByteArray> askField(const QString &prompt);
    std::optional<QByteArray> queryField(const QString &prompt, QLineEdit *current,
                                         const QByteArray &stored);

    Prompts &prompts_;
    std::function<QString()> mainCaption_;
    std::function<QByteArray()> patioListPath_;
    QList<PatioRecord> records_;
    int currentIndex_ = -1;
    bool modified_ = false;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
};

} // namespace kirano
