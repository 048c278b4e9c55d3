#pragma once
// The graph's drawing done the straightforward way, every step from scratch through the
// canvas's general primitives: the image a redraw of the control must reproduce exactly.
#include <QImage>

class TkvDGraph;

// Draws the graph's whole image from its properties and history into a new image of its size;
// stops, as the control does, after the labels when a scale is asked for without divisions.
QImage ReferenceGraphImage(const TkvDGraph& graph);
