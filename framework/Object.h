// CObject: the base of the program's data classes, which name their own class
// at run time. CObList: a list of CObject pointers that owns nothing; whoever
// removes an object deletes it.
#pragma once

#include <deque>

class CObject {
public:
    virtual ~CObject() = default;
    virtual const char* ClassName() const { return "CObject"; }
};

class CObList : public CObject {
public:
    // Nodes are allocated blockSize at a time; the standard container does
    // its own grouping, so the value is only accepted.
    explicit CObList(int blockSize = 10) { (void)blockSize; }
    CObList(const CObList&) = delete;
    CObList& operator=(const CObList&) = delete;
    const char* ClassName() const override { return "CObList"; }

    void AddTail(CObject* object) { items_.push_back(object); }
    // The oldest object, or none when the list is empty.
    CObject* GetHead() const { return items_.empty() ? nullptr : items_.front(); }
    CObject* RemoveHead();
    int GetCount() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    // Forgets every pointer; deletes nothing.
    void RemoveAll() { items_.clear(); }

private:
    std::deque<CObject*> items_;
};
