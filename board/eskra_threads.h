// The serial-port board's two per-frame worker threads: read one frame, decode it.
#pragma once

struct EskraLinkState;

// Takes what the port holds now, on the thread that owns the port (the GUI
// thread): a QSerialPort used from another thread loses its notifiers, and
// then the writes of "Set parameters" never leave and the stream stops.
void FetchEskraPortBytes(EskraLinkState& p_rState);
// Parses the bytes last fetched into the link's frame double buffer; the sums
// go into its Checksums. POSIX thread body; the argument is the EskraLinkState.
void* EskraReadThread(void* p_pArgument);
// Decodes the last valid frame into the link's decode target (the sink's
// frame buffer). POSIX thread body; the argument is the EskraLinkState.
void* EskraProcessThread(void* p_pArgument);
