#include "PanelTabs.h"

int PageMemberForTab(int tab) {
    switch (tab) {
    case 0: return 2;
    case 1: return 1;
    case 2: return 3;
    case 3: return 4;
    default: return 0;
    }
}

int HelpTopicForTab(int tab) { return 5 + tab; }
