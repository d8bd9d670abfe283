// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ObList.h"

#include <cassert>
#include <new>

CObList::CObList(std::size_t blockSize) : m_nBlockSize(blockSize > 0 ? blockSize : 1) {}

CObList::~CObList() {
    RemoveAll();
}

CObject*& CObList::GetHead() {
    assert(m_pNodeHead != nullptr);
    return m_pNodeHead->data;
}

CObject*& CObList::GetTail() {
    assert(m_pNodeTail != nullptr);
    return m_pNodeTail->data;
}

CObList::Node* CObList::NewNode(Node* prev, Node* next, CObject* element) {
    if (m_pNodeFree == nullptr) {
        // One allocation holds the block link and blockSize nodes; the nodes go to the free list.
        const std::size_t bytes = sizeof(Block) + m_nBlockSize * sizeof(Node);
        auto* block = static_cast<Block*>(::operator new(bytes));
        block->next = m_pBlocks;
        m_pBlocks = block;
        Node* nodes = reinterpret_cast<Node*>(block + 1);
        for (std::size_t i = m_nBlockSize; i-- > 0;) {
            nodes[i].next = m_pNodeFree;
            m_pNodeFree = &nodes[i];
        }
    }
    Node* node = m_pNodeFree;
    m_pNodeFree = node->next;
    node->prev = prev;
    node->next = next;
    node->data = element;
    ++m_nCount;
    ++m_nVersion;
    return node;
}

void CObList::FreeNode(Node* node) {
    node->next = m_pNodeFree;
    m_pNodeFree = node;
    --m_nCount;
    ++m_nVersion;
}

POSITION CObList::AddHead(CObject* element) {
    Node* node = NewNode(nullptr, m_pNodeHead, element);
    if (m_pNodeHead != nullptr) {
        m_pNodeHead->prev = node;
    } else {
        m_pNodeTail = node;
    }
    m_pNodeHead = node;
    return ToPos(node);
}

POSITION CObList::AddTail(CObject* element) {
    Node* node = NewNode(m_pNodeTail, nullptr, element);
    if (m_pNodeTail != nullptr) {
        m_pNodeTail->next = node;
    } else {
        m_pNodeHead = node;
    }
    m_pNodeTail = node;
    return ToPos(node);
}

POSITION CObList::InsertBefore(POSITION pos, CObject* element) {
    if (pos == nullptr) return AddHead(element);
    Node* old = ToNode(pos);
    Node* node = NewNode(old->prev, old, element);
    if (old->prev != nullptr) {
        old->prev->next = node;
    } else {
        m_pNodeHead = node;
    }
    old->prev = node;
    return ToPos(node);
}

POSITION CObList::InsertAfter(POSITION pos, CObject* element) {
    if (pos == nullptr) return AddTail(element);
    Node* old = ToNode(pos);
    Node* node = NewNode(old, old->next, element);
    if (old->next != nullptr) {
        old->next->prev = node;
    } else {
        m_pNodeTail = node;
    }
    old->next = node;
    return ToPos(node);
}

void CObList::RemoveAt(POSITION pos) {
    Node* node = ToNode(pos);
    assert(node != nullptr);
    if (node == m_pNodeHead) {
        m_pNodeHead = node->next;
    } else {
        node->prev->next = node->next;
    }
    if (node == m_pNodeTail) {
        m_pNodeTail = node->prev;
    } else {
        node->next->prev = node->prev;
    }
    FreeNode(node);
}

void CObList::RemoveAll() {
    m_nCount = 0;
    ++m_nVersion;
    m_pNodeHead = m_pNodeTail = m_pNodeFree = nullptr;
    while (m_pBlocks != nullptr) {
        Block* next = m_pBlocks->next;
        ::operator delete(m_pBlocks);
        m_pBlocks = next;
    }
}

POSITION CObList::Find(const CObject* element, POSITION startAfter) const {
    Node* node = startAfter == nullptr ? m_pNodeHead : ToNode(startAfter)->next;
    for (; node != nullptr; node = node->next) {
        if (node->data == element) return ToPos(node);
    }
    return nullptr;
}
