#pragma once
// 员工资料 (departments and their staff) and 职务设置 (duties).
#include "list_window.h"

class QPushButton;

class TFSetup_manpower : public ListWindow {
    Q_OBJECT
public:
    explicit TFSetup_manpower(AppContext &app, QWidget *parent = nullptr);
    ~TFSetup_manpower() override;

    LevelTree *tree() const { return tree_; }
    DataSet *staff() const { return Clerk; }
    DBGrid *grid() const { return grid_; }
    SearchBar *search() const { return search_; }
    QPushButton *EditButton, *DeleteButton, *AddButton, *PrintButton, *ExportButton;

    void addClerk();   // a new row and the staff form
    void editClerk();  // the staff form for the current row
    void deleteClerk();
    void find();

private:
    void listDepartment(const QString &code);
    void fillChoices();
    void showDialog();
    void checkClerk(DataSet &ds);
    bool mayAppend();
    DataSet *Clerk;
    LevelTree *tree_;
    DBGrid *grid_;
    SearchBar *search_;
};

// Every field of one clerk, the password and the duty (by name) included.
class TFSetup_add_manpower : public RecordDialog {
    Q_OBJECT
public:
    TFSetup_add_manpower(AppContext &app, DataSet &staff, QWidget *parent = nullptr);
};

class TFSetup_duty : public ListWindow {
    Q_OBJECT
public:
    explicit TFSetup_duty(AppContext &app, QWidget *parent = nullptr);
    DataSet *duties() const { return Affair; }
    DBGrid *grid() const { return grid_; }

private:
    DataSet *Affair;
    DBGrid *grid_;
};
