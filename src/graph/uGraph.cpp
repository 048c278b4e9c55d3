#include "uGraph.h"

#include "kvDGraph.h"

std::string GraphSampleOf(const std::array<bool, kGraphTraceCount>& states)
{
    std::string sample;
    sample.reserve(states.size());
    for (bool s : states)
        sample += s ? '1' : '0';
    return sample;
}

void GraphInit(TkvDGraph& graph)
{
    graph.SetRightOffset(2);
    graph.SetValuePosition(vpFullWidth);
    graph.SetMaxItems(kGraphWindow);
    for (int i = 0; i < kGraphWindow; ++i)
        graph.AddValues(kInitialSample, true);
}

void GraphAddSample(TkvDGraph& graph, bool showChanges,
                    const std::array<bool, kGraphTraceCount>& states)
{
    if (!showChanges)
        return;
    graph.AddValues(GraphSampleOf(states), true);
}
