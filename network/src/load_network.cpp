#include "kelvarn/network/load_network.h"

#include <string>
#include <utility>

#include "kelvarn/binding/toolkit.h"
#include "kelvarn/common/keyed_collection.h"
#include "kelvarn/network/read_coordinates.h"

namespace kelvarn::network {
namespace {

// Closes the toolkit model however the load ends.
class OpenModel {
  public:
    explicit OpenModel(binding::Toolkit& tk) : tk_(tk) {}
    ~OpenModel() {
        try {
            tk_.ENclose();
        } catch (...) {
            // Nothing more can be done for a model the toolkit will not close.
        }
    }
    OpenModel(const OpenModel&) = delete;
    OpenModel& operator=(const OpenModel&) = delete;

  private:
    binding::Toolkit& tk_;
};

// A toolkit error while the model is read ends the load: a network read only in
// part must not stand in for the file.
void Check(int code, const char* call, const std::string& inputPath) {
    if (code != 0) {
        throw NetworkFileError(inputPath + ": " + call + " failed with toolkit error " +
                               std::to_string(code));
    }
}

void Append(IdList& list, std::int32_t& count, const std::string& id) {
    list.push_back(id);
    count = static_cast<std::int32_t>(list.size() - 1);
}

void LoadLinksAndNodes(Network& net, binding::Toolkit& tk, const std::string& path) {
    Check(tk.ENgetcount(binding::en::NODECOUNT, net.NodeCount), "ENgetcount", path);
    Check(tk.ENgetcount(binding::en::TANKCOUNT, net.StorageCount), "ENgetcount", path);
    Check(tk.ENgetcount(binding::en::LINKCOUNT, net.LinkCount), "ENgetcount", path);

    net.PipeIDs.assign(1, std::string());
    net.PumpIDs.assign(1, std::string());
    net.ValveIDs.assign(1, std::string());
    for (std::int32_t i = 1; i <= net.LinkCount; ++i) {
        int type = 0;
        int from = 0;
        int to = 0;
        std::string id;
        std::string node1;
        std::string node2;
        Check(tk.ENgetlinktype(i, type), "ENgetlinktype", path);
        Check(tk.ENgetlinkid(i, id), "ENgetlinkid", path);
        Check(tk.ENgetlinknodes(i, from, to), "ENgetlinknodes", path);
        Check(tk.ENgetnodeid(from, node1), "ENgetnodeid", path);
        Check(tk.ENgetnodeid(to, node2), "ENgetnodeid", path);

        clsLink& link = net.Links.Add(id);
        link.ID = id;
        link.Index = i;
        link.Node1 = node1;
        link.Node2 = node2;
        link.BWidth = 2;
        if (type == binding::en::CVPIPE || type == binding::en::PIPE) {
            Append(net.PipeIDs, net.PipeCount, id);
            link.LinkType = kPipe;
            Check(tk.ENgetlinkvalue(i, binding::en::LENGTH, link.Length), "ENgetlinkvalue", path);
            link.BColor = kPipeColor;
        } else if (type == binding::en::PUMP) {
            Append(net.PumpIDs, net.PumpCount, id);
            link.LinkType = kPump;
            link.BColor = kPumpColor;
        } else if (type > binding::en::PUMP) {
            Append(net.ValveIDs, net.ValveCount, id);
            link.LinkType = kValve;
            link.BColor = kValveColor;
        }
    }

    net.JunctionIDs.assign(1, std::string());
    net.ReservoirIDs.assign(1, std::string());
    net.TankIDs.assign(1, std::string());
    for (std::int32_t j = 1; j <= net.NodeCount; ++j) {
        int type = 0;
        std::string id;
        Check(tk.ENgetnodetype(j, type), "ENgetnodetype", path);
        Check(tk.ENgetnodeid(j, id), "ENgetnodeid", path);

        clsNode& node = net.Nodes.Add(id);
        node.Index = j;
        node.ID = id;
        if (type == binding::en::JUNCTION) {
            Append(net.JunctionIDs, net.JunctionCount, id);
            node.NodeType = kJunction;
        } else if (type == binding::en::RESERVOIR) {
            Append(net.ReservoirIDs, net.ReservoirCount, id);
            node.NodeType = kReservoir;
        } else if (type == binding::en::TANK) {
            Append(net.TankIDs, net.TankCount, id);
            node.NodeType = kTank;
        }
    }
}

}  // namespace

void ClearNetwork(Network& net) {
    net = Network();
}

bool LoadNetwork(Network& net, binding::Toolkit& toolkit, const std::string& inputPath,
                 const std::string& reportPath, const std::string& outputPath) {
    if (toolkit.ENepanet(inputPath, reportPath, outputPath) > 6) {
        return false;
    }
    // The new network is built aside and takes the old one's place only when
    // complete, so a load that fails part-way leaves the old network whole.
    Network fresh;
    ClearNetwork(fresh);
    {
        // Closed even when the open fails, as the toolkit may hold part of the model.
        OpenModel open(toolkit);
        const int code = toolkit.ENopen(inputPath, reportPath, outputPath);
        if (code > 6) {
            Check(code, "ENopen", inputPath);
        }
        try {
            LoadLinksAndNodes(fresh, toolkit, inputPath);
        } catch (const common::DuplicateKey& e) {
            throw NetworkFileError(inputPath + ": " + e.what());
        }
        ReadCoordinates(fresh, inputPath);
    }
    net = std::move(fresh);
    return true;
}

}  // namespace kelvarn::network
