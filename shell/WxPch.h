// The wx headers every shell translation unit uses, compiled once.
#pragma once

#include <wx/wx.h>

#include <wx/bmpbndl.h>
#include <wx/cmdline.h>
#include <wx/filedlg.h>
#include <wx/statline.h>
#include <wx/tglbtn.h>
#include <wx/timer.h>
#include <wx/utils.h>
