// The device list built from a scripted enumeration, and the choice it turns into.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "afx/afxheap.h"
#include "devices/device_choice.h"
#include "devices/device_list.h"
#include "fakes/fake_ddraw.h"
#include "fakes/fake_heap.h"

namespace {

const GUID kVoodoo = {0x3DF00001, 0x0203, 0x0405, {6, 7, 8, 9, 10, 11, 12, 13}};
const GUID kVoodooTwin = {0x3DF00002, 0x0203, 0x0405, {6, 7, 8, 9, 10, 11, 12, 14}};
const GUID kRiva = {0x10DE0020, 0xA1A2, 0xB1B2, {0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8}};
const ScriptedDevice kVoodooCard = {kVoodoo, "Voodoo", "3dfx"};
const ScriptedDevice kRivaCard = {kRiva, "RIVA TNT", "nv4"};
const ScriptedDevice kDisplayDriver = {std::nullopt, "Primary Display Driver", "display"};

template <class T>
std::vector<BYTE> Bytes(const T& value) {
    const BYTE* first = reinterpret_cast<const BYTE*>(&value);
    return {first, first + sizeof value};
}

class DeviceEnumeration : public ::testing::Test {
protected:
    void SetUp() override {
        DeviceList = nullptr;
        theDeviceScript = DeviceScript{};
        FakeHeapReset();
        liveBlocksBefore = FakeHeapLiveBlocks();
        std::memset(&settings, 0xAB, sizeof settings);
    }

    // The program keeps its entries to the end; a test frees them and then expects
    // nothing else of its own left on the heap.
    void TearDown() override {
        FakeHeapReset();
        while (DeviceList != nullptr) {
            DeviceEntry* next = DeviceList->Next;
            DeviceList->~DeviceEntry();
            AfxRelease(DeviceList);
            DeviceList = next;
        }
        EXPECT_EQ(FakeHeapLiveBlocks(), liveBlocksBefore);
    }

    static void Enumerate(const std::vector<ScriptedDevice>& devices) {
        theDeviceScript.devices = devices;
        EnumerateDevices(ScriptedDirectDrawEnumerate);
    }

    static std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const DeviceEntry* entry = DeviceList; entry != nullptr; entry = entry->Next)
            lines.push_back(static_cast<const char*>(DeviceLineText(*entry)));
        return lines;
    }

    RenderSettings settings;
    int liveBlocksBefore = 0;
};

TEST_F(DeviceEnumeration, NewestReportedDeviceComesFirst) {
    Enumerate({kVoodooCard, kDisplayDriver, kRivaCard});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"nv4 - RIVA TNT", "display - Primary Display Driver",
                                                 "3dfx - Voodoo"}));
}

TEST_F(DeviceEnumeration, DefaultDriverIsMarkedAndTheOthersKeepTheirGuidBytes) {
    Enumerate({kVoodooCard, kDisplayDriver});
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(DeviceList->IsDefault, 1u);
    EXPECT_EQ(DeviceList->Next->IsDefault, 0u);
    EXPECT_EQ(Bytes(DeviceList->Next->Guid), Bytes(kVoodoo));
}

TEST_F(DeviceEnumeration, TwinDevicesKeepTheirOwnEntriesAndGuids) {
    Enumerate({kVoodooCard, {kVoodooTwin, "Voodoo", "3dfx"}});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"3dfx - Voodoo", "3dfx - Voodoo"}));
    EXPECT_EQ(Bytes(DeviceList->Guid), Bytes(kVoodooTwin));
    EXPECT_EQ(Bytes(DeviceList->Next->Guid), Bytes(kVoodoo));
}

TEST_F(DeviceEnumeration, FailedEnumerationKeepsTheDevicesReportedBeforeIt) {
    theDeviceScript.failAfter = 2;
    Enumerate({kVoodooCard, kRivaCard, kDisplayDriver});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"nv4 - RIVA TNT", "3dfx - Voodoo"}));
}

TEST_F(DeviceEnumeration, ASecondEnumerationKeepsTheListAsItIs) {
    Enumerate({kVoodooCard, kRivaCard});
    Enumerate({kDisplayDriver, kVoodooCard});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"nv4 - RIVA TNT", "3dfx - Voodoo"}));
}

// A device costs three allocations: its entry, its description, its driver name.
class DeviceListAllocation : public DeviceEnumeration, public ::testing::WithParamInterface<int> {};

TEST_P(DeviceListAllocation, FailureSkipsJustThatDevice) {
    FakeHeapFailAllocation(3 + GetParam());  // one of the second device's
    Enumerate({kVoodooCard, kRivaCard, kDisplayDriver});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"display - Primary Display Driver", "3dfx - Voodoo"}));
}

const char* const kAllocationNames[] = {"Entry", "Description", "DriverName"};

INSTANTIATE_TEST_SUITE_P(EntryOrEitherString, DeviceListAllocation, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(kAllocationNames[info.param - 1]);
                         });

class DeviceChoice : public DeviceEnumeration {};

TEST_F(DeviceChoice, SelectedEntryGivesItsOwnGuid) {
    Enumerate({kVoodooCard, kRivaCard});
    ResolveDeviceChoice(reinterpret_cast<LRESULT>(DeviceList->Next), settings);
    EXPECT_EQ(settings.UseDefaultDirectDraw, 0u);
    EXPECT_EQ(Bytes(settings.DirectDrawDeviceId), Bytes(kVoodoo));
}

TEST_F(DeviceChoice, NoSelectionTakesTheNewestReportedDevice) {
    Enumerate({kVoodooCard, kRivaCard});
    for (LRESULT none : {LRESULT{0}, LRESULT{-1}}) {
        std::memset(&settings, 0xAB, sizeof settings);
        ResolveDeviceChoice(none, settings);
        EXPECT_EQ(settings.UseDefaultDirectDraw, 0u) << "item data " << none;
        EXPECT_EQ(Bytes(settings.DirectDrawDeviceId), Bytes(kRiva)) << "item data " << none;
    }
}

TEST_F(DeviceChoice, EmptyListLeavesTheRecordAlone) {
    const std::vector<BYTE> before = Bytes(settings);
    ResolveDeviceChoice(0, settings);
    ResolveDeviceChoice(-1, settings);
    EXPECT_EQ(Bytes(settings), before);
}

TEST_F(DeviceChoice, DefaultDriverGivesOneAndSixteen0xFF) {
    Enumerate({kVoodooCard, kDisplayDriver});
    std::memset(&DeviceList->Guid, 0x5A, sizeof DeviceList->Guid);  // never set for the default driver
    ResolveDeviceChoice(reinterpret_cast<LRESULT>(DeviceList), settings);
    EXPECT_EQ(settings.UseDefaultDirectDraw, 1u);
    EXPECT_EQ(Bytes(settings.DirectDrawDeviceId), std::vector<BYTE>(16, 0xFF));
}

}  // namespace
