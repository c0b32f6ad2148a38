// Small models built in code for the solver's hand-checked tests (internal units: ft, cfs).
#pragma once

#include <string>

#include "model/model.h"

namespace kvepa2::testing {

class ModelBuilder {
  public:
    ModelBuilder() {
        m_.options.accuracy = 1.0e-8;
        m_.options.trials = 100;
    }
    int junction(double elevation, double demand = 0.0) {
        Node n;
        n.id = "J" + std::to_string(m_.nodes.size());
        n.elevation = elevation;
        if (demand != 0.0)
            n.demands.push_back(Demand{demand, kNone, ""});
        m_.nodes.push_back(n);
        ++m_.junctionCount;
        return static_cast<int>(m_.nodes.size()) - 1;
    }
    // Junctions must all be added before reservoirs and tanks.
    int reservoir(double head, int pattern = kNone) {
        Node n;
        n.id = "R" + std::to_string(m_.nodes.size());
        n.type = NodeType::Reservoir;
        n.elevation = head;
        n.headPattern = pattern;
        m_.nodes.push_back(n);
        ++m_.tankCount;
        return static_cast<int>(m_.nodes.size()) - 1;
    }
    int tank(double elevation, double level, double minLevel, double maxLevel, double diameter) {
        Node n;
        n.id = "T" + std::to_string(m_.nodes.size());
        n.type = NodeType::Tank;
        n.elevation = elevation;
        n.initLevel = level;
        n.minLevel = minLevel;
        n.maxLevel = maxLevel;
        n.diameter = diameter;
        setCylinderVolumes(n, diameter, level, minLevel, maxLevel, 0.0, 1.0);  // the builder's units are ft
        m_.nodes.push_back(n);
        ++m_.tankCount;
        return static_cast<int>(m_.nodes.size()) - 1;
    }
    int pipe(int a, int b, double length, double diameter, double roughness, double minor = 0.0,
             LinkType type = LinkType::Pipe) {
        Link l;
        l.id = "P" + std::to_string(m_.links.size());
        l.type = type;
        l.node1 = a;
        l.node2 = b;
        l.length = length;
        l.diameter = diameter;
        l.roughness = roughness;
        l.minorLoss = minor;
        m_.links.push_back(l);
        return static_cast<int>(m_.links.size()) - 1;
    }
    int curve(std::vector<double> x, std::vector<double> y, CurveType type = CurveType::Pump) {
        Curve c;
        c.id = "C" + std::to_string(m_.curves.size());
        c.type = type;
        c.x = std::move(x);
        c.y = std::move(y);
        m_.curves.push_back(c);
        return static_cast<int>(m_.curves.size()) - 1;
    }
    int pump(int a, int b, int curve, double speed = 1.0) {
        Link l;
        l.id = "PU" + std::to_string(m_.links.size());
        l.type = LinkType::Pump;
        l.node1 = a;
        l.node2 = b;
        l.headCurve = curve;
        l.pumpType = PumpType::PowerFunction;
        l.setting = speed;
        m_.links.push_back(l);
        return static_cast<int>(m_.links.size()) - 1;
    }
    int valve(int a, int b, LinkType type, double diameter, double setting,
              LinkStatus status = LinkStatus::Active) {
        Link l;
        l.id = "V" + std::to_string(m_.links.size());
        l.type = type;
        l.node1 = a;
        l.node2 = b;
        l.diameter = diameter;
        l.setting = setting;
        l.initStatus = status;
        m_.links.push_back(l);
        return static_cast<int>(m_.links.size()) - 1;
    }
    int pattern(std::vector<double> factors) {
        Pattern p;
        p.id = "PAT" + std::to_string(m_.patterns.size());
        p.factors = std::move(factors);
        m_.patterns.push_back(p);
        return static_cast<int>(m_.patterns.size()) - 1;
    }
    Model& model() { return m_; }

  private:
    Model m_;
};

}  // namespace kvepa2::testing
