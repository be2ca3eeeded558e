#pragma once
#include "store/patiofile.h"

#include <QDialog>
#include <functional>

class QLineEdit;

namespace kirano {

class Prompts;

// TForm3: browse, add, change, delete and save the patio records of
// the patio list. Every showing starts again from the file.
class PatioEditor : public QDialog {
    Q_OBJECT
  public:
    // The main window's caption and patio list path are read at each use.
    PatioEditor(Prompts &prompts, std::function<QString()> mainCaption,
                std::function<QByteArray()> patioListPath, QWidget *parent = nullptr);

    // The commands of the buttons and the menu; the tables in
    // patioeditor.cpp give each one's buttons and items as the form names
    // them (Button1 "<<", N3 and Button3 "追加" ...).
    void showPreviousRecord();
    void showNextRecord();
    void addRecord();
    void changeRecord();
    void deleteRecord();
    // Writes the records, or deletes the file when there are none; on a
    // failure the records stay and so does `modified`.
    void save() { saveRecords(); }
    void closeEditor() { close(); }

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
    // Every showing starts from the file (the form's FormShow).
    void loadRecords();
    void showRecord();
    // False when the file could not be written or deleted.
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
    // The shown record's fields.
    QLineEdit *nameEdit_;     // Edit1
    QLineEdit *idEdit_;       // Edit2
    QLineEdit *passwordEdit_; // Edit3
};

} // namespace kirano
