#pragma once
// A function window opened in the main window's MDI area. After it opens the
// main window tells it whether the user has full rights; below that its
// editing controls are disabled and its grids read-only.
class FunctionWindow {
public:
    virtual ~FunctionWindow() = default;
    virtual void setFullRights(bool full) = 0;
};
