// The serial-port board's two per-frame worker threads: read one frame, decode it.
#pragma once

// Reads what the port holds into the frame double buffer of the main window
// (g_pMainWindow); the sums go into its EskraChecksums. POSIX thread body.
void* EskraReadThread(void* p_pArgument);
// Decodes the last valid frame into the raw frame (MainWindow::ProcessImageEskra).
void* EskraProcessThread(void* p_pArgument);
