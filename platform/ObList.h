// SPDX-License-Identifier: GPL-3.0-or-later
// CObject and CObList: the framework's root class and its doubly linked list of object
// pointers, as far as the sprite library uses them.
#pragma once

#include <cassert>
#include <cstddef>

#include "platform/Types.h"

/// Root of the framework's class tree; only gives a virtual destructor.
class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;
};

/// Opaque position of a node in a CObList; null is "before the head / after the tail".
using POSITION = struct __POSITION*;

/// A doubly linked list of non-owning CObject pointers.
///
/// Nodes come from blocks of `blockSize` nodes allocated at once; a removed node goes to a free
/// list and is reused by the next insertion, so a remove-and-insert allocates nothing. The blocks
/// are freed by RemoveAll and by the destructor.
class CObList : public CObject {
public:
    explicit CObList(std::size_t blockSize = 10);
    CObList(const CObList&) = delete;
    CObList& operator=(const CObList&) = delete;
    ~CObList() override;

    std::size_t GetCount() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    CObject*& GetHead();
    CObject*& GetTail();
    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
    POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
    /// Returns the element at pos and moves pos to the next node (null after the tail).
    CObject*& GetNext(POSITION& pos) const {
        Node* node = ToNode(pos);
        assert(node != nullptr);
        pos = ToPos(node->next);
        return node->data;
    }
    /// Returns the element at pos and moves pos to the previous node (null before the head).
    CObject*& GetPrev(POSITION& pos) const {
        Node* node = ToNode(pos);
        assert(node != nullptr);
        pos = ToPos(node->prev);
        return node->data;
    }
    CObject*& GetAt(POSITION pos) const {
        assert(pos != nullptr);
        return ToNode(pos)->data;
    }

    POSITION AddHead(CObject* element);
    POSITION AddTail(CObject* element);
    /// Inserts before pos; a null pos inserts at the head.
    POSITION InsertBefore(POSITION pos, CObject* element);
    /// Inserts after pos; a null pos inserts at the tail.
    POSITION InsertAfter(POSITION pos, CObject* element);
    void RemoveAt(POSITION pos);
    void RemoveAll();
    /// Linear search by pointer, from the node after startAfter (or from the head).
    POSITION Find(const CObject* element, POSITION startAfter = nullptr) const;
    /// Changes whenever a node is added or removed, so that a copy of the order can tell it is
    /// out of date. (Elements replaced through the references returned above do not count.)
    std::size_t GetVersion() const { return m_nVersion; }

private:
    struct Node {
        Node* next;
        Node* prev;
        CObject* data;
    };
    struct Block {
        Block* next;
        // blockSize nodes follow in the same allocation
    };

    Node* NewNode(Node* prev, Node* next, CObject* element);
    void FreeNode(Node* node);
    static Node* ToNode(POSITION pos) { return reinterpret_cast<Node*>(pos); }
    static POSITION ToPos(Node* node) { return reinterpret_cast<POSITION>(node); }

    Node* m_pNodeHead = nullptr;
    Node* m_pNodeTail = nullptr;
    Node* m_pNodeFree = nullptr;
    Block* m_pBlocks = nullptr;
    std::size_t m_nCount = 0;
    std::size_t m_nVersion = 0;
    std::size_t m_nBlockSize;
};
