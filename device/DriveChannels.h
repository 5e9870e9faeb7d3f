#pragma once
// A drive as a flash run sees it: the transport of the mode with the address
// of one drive.
#include <cstdint>

#include "device/AspiTransport.h"
#include "device/DriveHandle.h"
#include "device/PassThroughTransport.h"
#include "flash/DriveCommandChannel.h"

// Pass-through mode: the drive handle the Flash command opened.
class PassThroughChannel final : public DriveCommandChannel {
 public:
  PassThroughChannel(PassThroughTransport& transport, DriveHandle& drive) : transport_(transport), drive_(drive) {}
  bool WritePage(const PageWriteCommand& command, const FirmwareImage& image) override;

 private:
  PassThroughTransport& transport_;
  DriveHandle& drive_;
};

// ASPI mode: host adapter and target of a drive table row.
class AspiChannel final : public DriveCommandChannel {
 public:
  AspiChannel(AspiTransport& transport, std::uint8_t hostAdapter, std::uint8_t target)
      : transport_(transport), hostAdapter_(hostAdapter), target_(target) {}
  bool WritePage(const PageWriteCommand& command, const FirmwareImage& image) override;

 private:
  AspiTransport& transport_;
  std::uint8_t hostAdapter_;
  std::uint8_t target_;
};
