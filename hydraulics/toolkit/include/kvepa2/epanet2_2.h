/* The re-entrant EPANET 2.2 toolkit: every function acts on a project handle,
   values are double, times long. Independent projects may run on separate
   threads at once. */
#ifndef KVEPA2_EPANET2_2_H
#define KVEPA2_EPANET2_2_H

#include "kvepa2/epanet2_enums.h"
#include "kvepa2/kvepa2_export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct Project* EN_Project;

int DLLEXPORT EN_createproject(EN_Project* ph);
int DLLEXPORT EN_deleteproject(EN_Project ph);
int DLLEXPORT EN_runproject(EN_Project ph, const char* inpFile, const char* rptFile, const char* outFile,
                            void (*pviewprog)(char*));
int DLLEXPORT EN_open(EN_Project ph, const char* inpFile, const char* rptFile, const char* outFile);
int DLLEXPORT EN_saveinpfile(EN_Project ph, const char* filename);
int DLLEXPORT EN_close(EN_Project ph);

int DLLEXPORT EN_solveH(EN_Project ph);
int DLLEXPORT EN_openH(EN_Project ph);
int DLLEXPORT EN_initH(EN_Project ph, int initFlag);
int DLLEXPORT EN_runH(EN_Project ph, long* currentTime);
int DLLEXPORT EN_nextH(EN_Project ph, long* tStep);
int DLLEXPORT EN_closeH(EN_Project ph);

int DLLEXPORT EN_getversion(int* version);
int DLLEXPORT EN_geterror(int errcode, char* out_errmsg, int maxLen);
int DLLEXPORT EN_getcount(EN_Project ph, int object, int* count);
int DLLEXPORT EN_getflowunits(EN_Project ph, int* units);
int DLLEXPORT EN_getoption(EN_Project ph, int option, double* value);
int DLLEXPORT EN_setoption(EN_Project ph, int option, double value);
int DLLEXPORT EN_gettimeparam(EN_Project ph, int param, long* value);
int DLLEXPORT EN_settimeparam(EN_Project ph, int param, long value);

int DLLEXPORT EN_getnodeindex(EN_Project ph, const char* id, int* index);
int DLLEXPORT EN_getnodeid(EN_Project ph, int index, char* out_id);
int DLLEXPORT EN_getnodetype(EN_Project ph, int index, int* nodeType);
int DLLEXPORT EN_getnodevalue(EN_Project ph, int index, int property, double* value);
int DLLEXPORT EN_setnodevalue(EN_Project ph, int index, int property, double value);

int DLLEXPORT EN_getlinkindex(EN_Project ph, const char* id, int* index);
int DLLEXPORT EN_getlinkid(EN_Project ph, int index, char* out_id);
int DLLEXPORT EN_getlinktype(EN_Project ph, int index, int* linkType);
int DLLEXPORT EN_getlinknodes(EN_Project ph, int index, int* node1, int* node2);
int DLLEXPORT EN_getlinkvalue(EN_Project ph, int index, int property, double* value);
int DLLEXPORT EN_setlinkvalue(EN_Project ph, int index, int property, double value);

int DLLEXPORT EN_getpatternindex(EN_Project ph, const char* id, int* index);
int DLLEXPORT EN_getpatternid(EN_Project ph, int index, char* out_id);
int DLLEXPORT EN_getpatternlen(EN_Project ph, int index, int* len);
int DLLEXPORT EN_getpatternvalue(EN_Project ph, int index, int period, double* value);
int DLLEXPORT EN_setpatternvalue(EN_Project ph, int index, int period, double value);

int DLLEXPORT EN_getcurveindex(EN_Project ph, const char* id, int* index);
int DLLEXPORT EN_getcurveid(EN_Project ph, int index, char* out_id);
int DLLEXPORT EN_getcurvelen(EN_Project ph, int index, int* len);
int DLLEXPORT EN_getcurvevalue(EN_Project ph, int curveIndex, int pointIndex, double* x, double* y);

int DLLEXPORT EN_getcontrol(EN_Project ph, int index, int* type, int* linkIndex, double* setting,
                            int* nodeIndex, double* level);

#ifdef __cplusplus
}
#endif

#endif
