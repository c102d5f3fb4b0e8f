/* The C interface of the Quenlin USB3 capture library: capture life cycle, geometry, register link, correction. */
#ifndef QUENLIN_H
#define QUENLIN_H

#ifdef __cplusplus
extern "C" {
#endif

/* Statuses follow the COM convention: 0 or positive is success, negative is failure.
   The Windows build's 32-bit "long" arguments are plain int here, so that they
   stay 32 bits wide on every platform. */
#define QUENLIN_S_OK 0
#define QUENLIN_E_FAIL ((int)0x80004005u)          /* capture not initialised, or no register port */
#define QUENLIN_E_OUTOFMEMORY ((int)0x8007000Eu)
#define QUENLIN_E_TIMEOUT ((int)0x800705B4u)       /* startCapture: no frame arrived in time */
#define QUENLIN_MF_E_NOT_FOUND ((int)0xC00D36D5u)  /* no capture device at all */
#define QUENLIN_MF_E_DEVICE_INVALIDATED ((int)0xC00D3EA2u)

/* Results of setBadPixel. */
#define QUENLIN_BADPIXEL_OK 0
#define QUENLIN_BADPIXEL_BAD_COORDINATES (-1)
#define QUENLIN_BADPIXEL_BAD_INDEX (-2)
#define QUENLIN_BADPIXEL_SEND_FAILED (-3)
#define QUENLIN_BADPIXEL_NO_BOARD (-4)

/* Called once per frame on the capture thread: the corrected 16-bit pixels in
   host order (valid during the call only) and a copy of the frame's length in bytes. */
typedef void (*FrameCallback)(unsigned short* pixels, unsigned int* lengthBytes);
/* Stored with the frame callback and handed on at every re-initialisation. */
typedef void (*DroppedSampleCallback)(void);

/* Capture life cycle. */
int initSyncCapture(int registerValue16);
int initAsyncCapture(FrameCallback frameCallback, DroppedSampleCallback droppedCallback, int registerValue16,
                     int clearStop);
int isInitialized(void);
int startCapture(void);
int stopCapture(void);
int deinitCapture(int setStop);
int reinitCapture(int setStop);
int getStreamBack(void);
int getSyncFrame(unsigned short* destination, unsigned int* lengthBytes);

/* Geometry. */
int getWidth(int* width);
int getHeight(int* height);
int getPitch(int* pitch);
int getPixelSize(int* pixelSize);
int getNumberOfPixels(void);

/* Register link. */
int _SetParameter(int address, int value);
int _GetParameter(int* value);
int _GetParameterCustom(int property, int* value);
int getValidationLatch(int* latch);
int setParameter(int address, int value);
int setParameterToBoard(int board, int registerIndex, int value);
int getProxyNumber(int* number);
int getFPSNumber(int* number);
int openSerialCOM(void);

/* Processing board and software correction. */
int setProcessingBoardAvailable(int available);
unsigned char isProcessingBoardAvailable(void);
int setLuminance(int luminance);
int setContrast(int contrast);
int getLuminance(void);
int getContrast(void);
int takeFPNReference(void);
int setEnabledNUC(void);
int setDisabledNUC(void);
unsigned char getNUCStatus(void);
unsigned char getInvBWStatus(void);
int getFPNReferenceImage(void);
unsigned int processInvBW(unsigned short* pixels, unsigned int count);
int setInvBWCorrection(int enabled);
unsigned short* setFPNReferenceImage(const unsigned short* source, int count);
int processNUC(unsigned short* pixels, int count);
int resetFPNReferenceImage(void);
int setBadPixel(unsigned short index, unsigned short column, unsigned short line);

/* Miscellaneous. */
int setVerbose(int verbose);
const char* getLibraryVersion(void);
const char* getDeviceName(void);
int setWindowsVersion(int code);

#ifdef __cplusplus
}
#endif

#endif /* QUENLIN_H */
