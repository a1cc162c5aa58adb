// The abstract base of every node of an XML tree. Element is its one concrete
// class; the base exists so that a tree can be destroyed through it.
#pragma once

class Node {
public:
    virtual ~Node() = default;

protected:
    Node() = default;
    Node(const Node&) = default;
    Node& operator=(const Node&) = default;
};
