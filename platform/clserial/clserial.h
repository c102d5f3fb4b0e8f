// Our Camera Link serial interface: the nine cl... operations the board links use.
#pragma once

#include <cstdint>

// Opaque reference of an open serial port.
typedef void* hSerRef;

// Status codes. 0 is success; the others are ours.
enum ClSerialStatus : int32_t {
    CL_ERR_NO_ERR = 0,
    CL_ERR_BUFFER_TOO_SMALL = -10001,
    CL_ERR_INVALID_INDEX = -10002,
    CL_ERR_INVALID_REFERENCE = -10003,
    CL_ERR_TIMEOUT = -10004,
    CL_ERR_BAUD_RATE_NOT_SUPPORTED = -10005,
    CL_ERR_WRITE_FAILED = -10006,
};

// Baud-rate codes of clSetBaudRate.
enum ClBaudRate : uint32_t {
    CL_BAUDRATE_9600 = 1,
    CL_BAUDRATE_19200 = 2,
    CL_BAUDRATE_38400 = 4,
    CL_BAUDRATE_57600 = 8,
    CL_BAUDRATE_115200 = 16,
};

// Number of serial ports of the installed grabbers (0 without a grabber).
int32_t clGetNumPorts(uint32_t* p_pNumPorts);

// Manufacturer and port identifier of port p_uIndex, each cut to the given
// buffer size (zero-terminated); the sizes return the lengths needed with the
// terminator. CL_ERR_BUFFER_TOO_SMALL when a text did not fit.
int32_t clGetPortInfo(uint32_t p_uIndex, char* p_pManufacturer, uint32_t* p_pManufacturerSize,
                      char* p_pPortId, uint32_t* p_pPortIdSize, uint32_t* p_pVersion);

// Opens port p_uIndex (9600 baud); *p_pRef is null on failure.
int32_t clSerialInit(uint32_t p_uIndex, hSerRef* p_pRef);
int32_t clSetBaudRate(hSerRef p_Ref, uint32_t p_uBaudRate);
// Discards pending input.
int32_t clFlushPort(hSerRef p_Ref);
// Sends *p_pSize bytes as one message; *p_pSize returns the bytes written.
int32_t clSerialWrite(hSerRef p_Ref, char* p_pBuffer, uint32_t* p_pSize, uint32_t p_uTimeoutMs);
// Reads up to *p_pSize bytes; *p_pSize returns the bytes read. CL_ERR_TIMEOUT
// when fewer than asked were there (the board's reply is complete when it
// arrives, so no more come later).
int32_t clSerialRead(hSerRef p_Ref, char* p_pBuffer, uint32_t* p_pSize, uint32_t p_uTimeoutMs);
int32_t clGetNumBytesAvail(hSerRef p_Ref, uint32_t* p_pNumBytes);
// Closes the port; a null or already closed reference is ignored.
void clSerialClose(hSerRef p_Ref);
