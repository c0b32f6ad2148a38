#include "kelvarn/network/load_network.h"

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

void Append(IdList& list, std::int32_t& count, const std::string& id) {
    list.push_back(id);
    count = static_cast<std::int32_t>(list.size() - 1);
}

void LoadLinksAndNodes(Network& net, binding::Toolkit& tk) {
    tk.ENgetcount(binding::en::NODECOUNT, net.NodeCount);
    tk.ENgetcount(binding::en::TANKCOUNT, net.StorageCount);
    tk.ENgetcount(binding::en::LINKCOUNT, net.LinkCount);

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
        tk.ENgetlinktype(i, type);
        tk.ENgetlinkid(i, id);
        tk.ENgetlinknodes(i, from, to);
        tk.ENgetnodeid(from, node1);
        tk.ENgetnodeid(to, node2);

        clsLink& link = net.Links.Add(id);
        link.ID = id;
        link.Index = i;
        link.Node1 = node1;
        link.Node2 = node2;
        link.BWidth = 2;
        if (type == binding::en::CVPIPE || type == binding::en::PIPE) {
            Append(net.PipeIDs, net.PipeCount, id);
            link.LinkType = kPipe;
            tk.ENgetlinkvalue(i, binding::en::LENGTH, link.Length);
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
        tk.ENgetnodetype(j, type);
        tk.ENgetnodeid(j, id);

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
    toolkit.ENopen(inputPath, reportPath, outputPath);
    {
        OpenModel open(toolkit);
        try {
            LoadLinksAndNodes(fresh, toolkit);
        } catch (const common::DuplicateKey& e) {
            throw NetworkFileError(inputPath + ": " + e.what());
        }
        ReadCoordinates(fresh, inputPath);
    }
    net = std::move(fresh);
    return true;
}

}  // namespace kelvarn::network
