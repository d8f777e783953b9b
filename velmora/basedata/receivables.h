#pragma once
// 应收应付期初: the opening balance of each partner, set once before any
// bill names it.
#include "list_window.h"

class QPushButton;

class TFSetup_receivables_deal : public ListWindow {
    Q_OBJECT
public:
    explicit TFSetup_receivables_deal(AppContext &app, QWidget *parent = nullptr);
    DataSet *clients() const { return Client; }
    DBGrid *grid() const { return grid_; }
    SearchBar *search() const { return search_; }
    QPushButton *OpeningButton;

    void opening(); // 期初
    void find();
    // A goods or money bill that moves the partner's balance names it.
    bool isUsed(const QString &clientId) const;

private:
    DataSet *Client;
    DBGrid *grid_;
    SearchBar *search_;
};

class TFSetup_add_receivables_deal : public RecordDialog {
    Q_OBJECT
public:
    TFSetup_add_receivables_deal(AppContext &app, DataSet &clients, QWidget *parent = nullptr);
};
