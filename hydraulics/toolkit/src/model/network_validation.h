// Checks made before hydraulics can start: enough nodes, a fixed-grade node,
// every node connected, valid tank levels and pump curves.
#pragma once

#include <string>
#include <vector>

#include "model/model.h"

namespace kvepa2 {

// Returns 0 or the first failing code (223, 224, 225, 227, 233); each problem
// adds a report line.
int validateNetwork(const Model& model, std::vector<std::string>& report);

// Head h = a - b q^c of a one- or three-point pump curve (internal units);
// false when the points do not define a falling curve.
bool powerFunctionCurve(const Curve& c, double& a, double& b, double& exponent);

}  // namespace kvepa2
