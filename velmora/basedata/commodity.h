#pragma once
// 商品资料: the category tree and the goods of the chosen category.
#include "list_window.h"

class QPushButton;

class TFSetup_commodity : public ListWindow {
    Q_OBJECT
public:
    explicit TFSetup_commodity(AppContext &app, QWidget *parent = nullptr);
    ~TFSetup_commodity() override;

    LevelTree *tree() const { return tree_; }
    DataSet *goods() const { return ADOMerchandise; }
    DBGrid *grid() const { return grid_; }
    SearchBar *search() const { return search_; }
    QPushButton *DeleteButton, *AddButton, *EditButton, *PrintButton, *ExportButton;

    void addGoods();
    void editGoods();
    void deleteGoods();
    void find();
    void printList();
    void exportList();

private:
    void listCategory(const QString &code);
    void showDialog();
    void checkGoods(DataSet &ds);
    DataSet *ADOMerchandise;
    LevelTree *tree_;
    DBGrid *grid_;
    SearchBar *search_;
};

// One goods row of the catalogue; 确定 on a new row starts the next one.
class TFSetup_add_commodity : public RecordDialog {
    Q_OBJECT
public:
    TFSetup_add_commodity(AppContext &app, DataSet &goods, QWidget *parent = nullptr);
};
