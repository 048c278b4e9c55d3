#pragma once
// The components of one kind owned by a window, in component order. The program's own
// controls carry no meta-object of their own, so the kind is checked with dynamic_cast.
#include <QObject>
#include <vector>

template <typename T>
std::vector<T*> ComponentsOfKind(const QObject* window)
{
    std::vector<T*> found;
    for (QObject* child : window->findChildren<QObject*>())
        if (auto* component = dynamic_cast<T*>(child))
            found.push_back(component);
    return found;
}
