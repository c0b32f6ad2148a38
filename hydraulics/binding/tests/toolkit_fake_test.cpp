// The binding against a stand-in library: lazy loading, clear errors, IDs and values passed whole.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "kelvarn/binding/toolkit.h"

using kelvarn::binding::Toolkit;
using kelvarn::binding::ToolkitUnavailable;

namespace {

std::string messageOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ToolkitUnavailable& e) {
        return e.what();
    }
    return "";
}

TEST(BindingErrors, MissingLibraryIsReportedByFileNameOnFirstUse) {
    const std::string path = "/nonexistent/folder/libkvepa2.so";
    Toolkit tk(path);  // nothing is loaded yet
    const auto message = messageOf([&] { tk.ENopen("net.inp", "r.rpt", ""); });
    EXPECT_NE(message.find(path), std::string::npos) << message;
    // The failure is not remembered as a crash-prone state: asking again reports it again.
    EXPECT_THROW(tk.ENclose(), ToolkitUnavailable);
}

TEST(BindingErrors, MissingFunctionIsReportedByNameAndOthersStillWork) {
    Toolkit tk(KELVARN_FAKE_TOOLKIT);
    ASSERT_EQ(tk.ENopen("net.inp", "r.rpt", ""), 0);
    const auto message = messageOf([&] { tk.ENinitH(1); });
    EXPECT_NE(message.find("ENinitH"), std::string::npos) << message;
    EXPECT_NE(message.find(KELVARN_FAKE_TOOLKIT), std::string::npos) << message;
    EXPECT_NE(messageOf([&] { tk.ENepanet("net.inp", "r.rpt", ""); }).find("ENepanet"), std::string::npos);
    int count = 0;
    EXPECT_EQ(tk.ENgetcount(kelvarn::binding::en::NODECOUNT, count), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(tk.ENclose(), 0);
}

TEST(BindingPassThrough, IdsComeBackWholeAndErrorsLeaveThemEmpty) {
    Toolkit tk(KELVARN_FAKE_TOOLKIT);
    std::string id = "stale";
    EXPECT_EQ(tk.ENgetnodeid(1, id), 0);
    EXPECT_EQ(id, "J1234567890123456789012345678_Z");
    EXPECT_EQ(id.size(), 31u);
    EXPECT_EQ(tk.ENgetnodeid(2, id), 0);
    EXPECT_EQ(id, "~@node");
    EXPECT_EQ(tk.ENgetlinkid(1, id), 0);
    EXPECT_EQ(id.size(), 31u);
    EXPECT_EQ(tk.ENgetnodeid(3, id), 203);
    EXPECT_EQ(id, "");
}

TEST(BindingPassThrough, ValuesTimesAndCodesKeepTheirTypes) {
    Toolkit tk(KELVARN_FAKE_TOOLKIT);
    const float diameter = 304.8f;
    EXPECT_EQ(tk.ENsetlinkvalue(1, kelvarn::binding::en::DIAMETER, diameter), 0);
    float back = 0.0f;
    EXPECT_EQ(tk.ENgetlinkvalue(1, kelvarn::binding::en::DIAMETER, back), 0);
    EXPECT_EQ(back, diameter);
    int n1 = 0;
    int n2 = 0;
    EXPECT_EQ(tk.ENgetlinknodes(1, n1, n2), 0);
    EXPECT_EQ(n1, 1);
    EXPECT_EQ(n2, 2);
    long t = 0;
    EXPECT_EQ(tk.ENrunH(t), 6);  // a warning code is handed on, not turned into an error
    EXPECT_EQ(t, 86400L * 365 * 100);
    long step = -1;
    EXPECT_EQ(tk.ENnextH(step), 0);
    EXPECT_EQ(step, 0);
    EXPECT_EQ(tk.ENopen("other.inp", "r.rpt", ""), 302);
}

}  // namespace
