#pragma once
// The small lists edited right in their grids: warehouses, colours and
// configurations, fund accounts with their opening amounts, income and
// expense items.
#include "list_window.h"

class TFStorehouse : public ListWindow {
    Q_OBJECT
public:
    explicit TFStorehouse(AppContext &app, QWidget *parent = nullptr);
    DataSet *storehouses() const { return Storehouse; }
    DBGrid *grid() const { return grid_; }

private:
    DataSet *Storehouse;
    DBGrid *grid_;
};

class TFColor_Config : public ListWindow {
    Q_OBJECT
public:
    explicit TFColor_Config(AppContext &app, QWidget *parent = nullptr);
    DataSet *colors() const { return Color; }
    DataSet *configs() const { return Config; }
    DBGrid *colorGrid() const { return colorGrid_; }
    DBGrid *configGrid() const { return configGrid_; }

private:
    DataSet *Color, *Config;
    DBGrid *colorGrid_, *configGrid_;
};

class TFSetup_cash_bank : public ListWindow {
    Q_OBJECT
public:
    explicit TFSetup_cash_bank(AppContext &app, QWidget *parent = nullptr);
    ~TFSetup_cash_bank() override;
    DataSet *accounts() const { return CostAccount; }
    DBGrid *grid() const { return grid_; }
    // A purchase, purchase-return, sales or sales-return bill names the account.
    bool isUsed(const QVariant &accountId) const;

private:
    DataSet *CostAccount;
    DBGrid *grid_;
};

class TFSetup_earning_payout : public ListWindow {
    Q_OBJECT
public:
    explicit TFSetup_earning_payout(AppContext &app, QWidget *parent = nullptr);
    ~TFSetup_earning_payout() override;
    DataSet *items() const { return CostItem; }
    DBGrid *grid() const { return grid_; }
    QTreeWidget *tree() const { return tree_; }
    SearchBar *search() const { return search_; }
    int kind() const { return kind_; }
    void find();

private:
    void selectKind(int kind);
    DataSet *CostItem;
    DBGrid *grid_;
    QTreeWidget *tree_;
    SearchBar *search_;
    int kind_ = 1;
};
