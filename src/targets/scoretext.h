#pragma once

#include <string>

namespace zark {

struct TargetDescriptor;

// How scores are shown in the shot lists and the printout. Field faces show hits and points
// ("1/ 5"), decimal faces the tenths ("10.4"), the others the points ("10"); an inner ring is
// marked with "'".
std::string ScoreText(const TargetDescriptor& face, double score);
// What a shot adds to a total: the exact score on decimal faces, its points on the others.
double TotalPart(const TargetDescriptor& face, double score);
std::string TotalText(const TargetDescriptor& face, double total);

}  // namespace zark
