#pragma once
// 往来单位: suppliers, customers and other partners.
#include "list_window.h"

class QPushButton;

class TFSetup_corporation : public ListWindow {
    Q_OBJECT
public:
    explicit TFSetup_corporation(AppContext &app, QWidget *parent = nullptr);
    ~TFSetup_corporation() override;

    // The three partners the database is created with.
    static bool isSystemPartner(const QString &clientId);

    QTreeWidget *tree() const { return tree_; }
    DataSet *clients() const { return Client; }
    DBGrid *grid() const { return grid_; }
    SearchBar *search() const { return search_; }
    QString kind() const { return kind_; }
    QPushButton *DeleteButton, *EditButton, *AddButton, *PrintButton, *ExportButton;

    void selectKind(int node);
    void addClient();
    void editClient();
    void deleteClient();
    void find();

private:
    void showDialog();
    void checkClient(DataSet &ds);
    DataSet *Client;
    QTreeWidget *tree_;
    DBGrid *grid_;
    SearchBar *search_;
    QString kind_;
};

class TFSetup_add_corporation : public RecordDialog {
    Q_OBJECT
public:
    TFSetup_add_corporation(AppContext &app, DataSet &clients, QWidget *parent = nullptr);
};
