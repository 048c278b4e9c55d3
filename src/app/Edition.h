#pragma once
// Which program runs: the real one on the host's ports keeps the design's window title and
// icon; the demo on the simulated bench says in both that it is the demo, so that the two
// cannot be taken for each other.
enum class Edition { Real, Demo };
