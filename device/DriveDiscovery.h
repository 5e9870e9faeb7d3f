#pragma once
// Filling the drive list with the optical drives, once, when the main dialog
// starts. Neither operation clears the list first.
#include "device/AspiTransport.h"
#include "device/DriveListView.h"
#include "device/DriveSystem.h"
#include "device/DriveTable.h"
#include "device/PassThroughTransport.h"

inline constexpr std::uint8_t kTargetsPerHostAdapter = 8;
inline constexpr std::uint8_t kPeripheralTypeMask = 0x1F;
inline constexpr std::uint8_t kPeripheralTypeCdRom = 0x05;

// Pass-through mode: every root that opens and is a CD-ROM drive is asked for
// its identity and listed with all 36 characters of it.
void ListPassThroughDrives(DriveSystem& system, PassThroughTransport& transport, DriveListView& list);

// Records every CD-ROM device the layer reaches in the table, from row 0, in
// host adapter then target order. Devices past the table's rows are left out.
void ScanAspiDevices(AspiTransport& transport, DriveTable& table);

// ASPI mode: scans, then pairs the k-th CD-ROM letter with table row k and
// lists it with 28 identity characters. Letters past the table's rows are not
// listed. Without a transport (no layer loaded) the list stays empty.
void ListAspiDrives(DriveSystem& system, AspiTransport* transport, DriveTable& table, DriveListView& list);
