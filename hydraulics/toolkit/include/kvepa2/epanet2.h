/* The EPANET 2 programmer's toolkit, legacy functions acting on one default
   project: values are float, times long, IDs are written into caller buffers
   of at least EN_MAXID + 1 characters. */
#ifndef KVEPA2_EPANET2_H
#define KVEPA2_EPANET2_H

#include "kvepa2/epanet2_enums.h"
#include "kvepa2/kvepa2_export.h"

#ifdef __cplusplus
extern "C" {
#endif

int DLLEXPORT ENepanet(const char* inpFile, const char* rptFile, const char* outFile,
                       void (*pviewprog)(char*));
int DLLEXPORT ENopen(const char* inpFile, const char* rptFile, const char* outFile);
int DLLEXPORT ENsaveinpfile(const char* filename);
int DLLEXPORT ENclose(void);

int DLLEXPORT ENsolveH(void);
int DLLEXPORT ENopenH(void);
int DLLEXPORT ENinitH(int initFlag);
int DLLEXPORT ENrunH(long* currentTime);
int DLLEXPORT ENnextH(long* tStep);
int DLLEXPORT ENcloseH(void);

int DLLEXPORT ENgetversion(int* version);
int DLLEXPORT ENgeterror(int errcode, char* errmsg, int maxLen);
int DLLEXPORT ENgetcount(int object, int* count);
int DLLEXPORT ENgetflowunits(int* units);
int DLLEXPORT ENgetoption(int option, float* value);
int DLLEXPORT ENsetoption(int option, float value);
int DLLEXPORT ENgettimeparam(int param, long* value);
int DLLEXPORT ENsettimeparam(int param, long value);

int DLLEXPORT ENgetnodeindex(const char* id, int* index);
int DLLEXPORT ENgetnodeid(int index, char* id);
int DLLEXPORT ENgetnodetype(int index, int* nodeType);
int DLLEXPORT ENgetnodevalue(int index, int property, float* value);
int DLLEXPORT ENsetnodevalue(int index, int property, float value);

int DLLEXPORT ENgetlinkindex(const char* id, int* index);
int DLLEXPORT ENgetlinkid(int index, char* id);
int DLLEXPORT ENgetlinktype(int index, int* linkType);
int DLLEXPORT ENgetlinknodes(int index, int* node1, int* node2);
int DLLEXPORT ENgetlinkvalue(int index, int property, float* value);
int DLLEXPORT ENsetlinkvalue(int index, int property, float value);

int DLLEXPORT ENgetpatternindex(const char* id, int* index);
int DLLEXPORT ENgetpatternid(int index, char* id);
int DLLEXPORT ENgetpatternlen(int index, int* len);
int DLLEXPORT ENgetpatternvalue(int index, int period, float* value);
int DLLEXPORT ENsetpatternvalue(int index, int period, float value);

int DLLEXPORT ENgetcurveindex(const char* id, int* index);
int DLLEXPORT ENgetcurveid(int index, char* id);
int DLLEXPORT ENgetcurvelen(int index, int* len);
int DLLEXPORT ENgetcurvevalue(int curveIndex, int pointIndex, float* x, float* y);

int DLLEXPORT ENgetcontrol(int index, int* type, int* linkIndex, float* setting, int* nodeIndex,
                           float* level);

#ifdef __cplusplus
}
#endif

#endif
