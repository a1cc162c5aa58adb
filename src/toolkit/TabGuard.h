// A veto over the tab moves of a TabbedPane: installed by the pane's owner,
// asked before two tabs are exchanged and before a tab is removed (closing
// included). Not owned by the pane; it must outlive every use of the pane.
#pragma once

class TabGuard {
public:
    virtual ~TabGuard() = default;
    // False keeps the tabs at a and b where they are.
    virtual bool allowSwap(int a, int b) = 0;
    // False keeps the tab at index.
    virtual bool allowRemove(int index) = 0;
};
