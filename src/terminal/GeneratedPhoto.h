#pragma once

#include <QByteArray>
#include <cstdint>

// A small JPEG that differs with the seed: a backdrop and a face-like oval, so
// that photos of different records and persons can be told apart at a glance.
QByteArray generatedJpeg(std::uint32_t seed);
