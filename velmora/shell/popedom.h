#pragma once
// 权限设置: permission sets, their rights per group, and the users.
#include "function_window.h"

#include <QWidget>

class DataSet;
class DBGrid;
class QPushButton;
class QRadioButton;
class QTabWidget;
struct AppContext;

class TFSystem_popedom : public QWidget, public FunctionWindow {
    Q_OBJECT
public:
    explicit TFSystem_popedom(AppContext &app, QWidget *parent = nullptr);
    ~TFSystem_popedom() override;
    void setFullRights(bool full) override;

    static const QStringList &groups(); // 设置, 物流, 钱流, 统计, 工资

    DataSet *sets() const { return sets_; }
    DataSet *rights(int tab) const { return rights_[tab]; }
    DataSet *users() const { return users_; }
    DBGrid *setGrid() const { return setGrid_; }
    DBGrid *rightsGrid(int tab) const { return rightsGrids_[tab]; }
    DBGrid *userGrid() const { return userGrid_; }
    QTabWidget *tabs() const { return tabs_; }

    QPushButton *SaveButton, *AddButton, *DeleteButton;
    QPushButton *AddUserButton, *DeleteUserButton, *SaveUserButton;
    // Per tab: 无权限, 所有查询权, 所有全权.
    QRadioButton *noneRadio[5], *queryRadio[5], *allRadio[5];

    void addSet();
    void saveSet();
    void deleteSet();
    void setGroupRights(int tab, bool query, bool all);
    void addUser();
    void deleteUser();
    void saveUser();

private:
    void openRights();
    void refillPickList();
    void checkSet(DataSet &ds);
    void checkUser(DataSet &ds);
    AppContext &app_;
    DataSet *sets_;
    DataSet *rights_[5];
    DataSet *users_;
    DBGrid *setGrid_;
    DBGrid *rightsGrids_[5];
    DBGrid *userGrid_;
    QTabWidget *tabs_;
    QString renamedFrom_;
    enum class SetPost { None, Created, Renamed } setPost_ = SetPost::None;
};
