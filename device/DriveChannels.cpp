#include "device/DriveChannels.h"

bool PassThroughChannel::WritePage(const PageWriteCommand& command, const FirmwareImage& image) {
  return transport_.WritePage(drive_, command, image.Bytes());
}

bool AspiChannel::WritePage(const PageWriteCommand& command, const FirmwareImage& image) {
  return transport_.WritePage(hostAdapter_, target_, command, image.Bytes());
}
