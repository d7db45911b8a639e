#include "Object.h"

CObject* CObList::RemoveHead() {
    if (items_.empty()) return nullptr;
    CObject* head = items_.front();
    items_.pop_front();
    return head;
}
