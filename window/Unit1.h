// The program's only window: the list of dropped charts, the naming template, the preview of the
// selected chart's folder name, and the buttons that clear the list and start the batch rename.
#pragma once

#include <filesystem>
#include <vector>

#include <QCollator>
#include <QLocale>
#include <QStringList>
#include <QWidget>

class QEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QResizeEvent;
class QShowEvent;

class TForm1 : public QWidget {
    Q_OBJECT

  public:
    // Sets Form1 to the new window before FormCreate runs.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* LB = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel4 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Panel3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;

    // Registers the window and every child as a target for files dragged from a file manager.
    void FormCreate();
    // Shows the folder name that the template gives for the selected entry.
    void LBClick();
    // Empties the list.
    void Button2Click();
    // Renames the folders of all listed charts, then shows the completion message.
    void Button1Click();
    // Adds dropped paths (native form) to the list and puts the whole list in order.
    void WMDropFiles(const std::vector<std::filesystem::path>& paths);

    // The locale whose alphabet orders the list; the user's locale unless set here.
    void SetSortLocale(const QLocale& locale);

    // The list entry at row was cut to the path length limit when it was dropped.
    bool IsCutEntry(int row) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void CreateComponents();
    void ArrangeAlignedComponents();
    bool HandleDragEvent(QEvent* event);
    bool HandleKeyPress(QObject* watched, QEvent* event);
    void SetReadFailureTitle();
    void ShowCompletionMessage(const QString& text);

    QCollator collator_;
    bool shownOnce_ = false;
};

// The one main window of the program.
extern TForm1* Form1;
