#!/usr/bin/env python3
# Generates the twiddle tables of the QMF transforms pasted into
# sbr_tables.cpp.
import math
def q15(x):
    v=int(round(x*32768)); return max(-32768,min(32767,v))
out=[]
def arr(name,vals,per=10,typ='int16_t'):
    out.append('const %s %s[%d] = {'%(typ,name,len(vals)))
    for i in range(0,len(vals),per):
        out.append('    '+', '.join(str(v) for v in vals[i:i+per])+',')
    out.append('};')
def cs(name,angles):
    vals=[]
    for a in angles: vals+= [q15(math.cos(a)), q15(math.sin(a))]
    arr(name,vals,per=8)
cs('kSbrFftTwiddle',[2*math.pi*j/128 for j in range(64)])
cs('kSbrTwiddlePi64',[math.pi*n/64 for n in range(64)])
cs('kSbrTwiddlePi128',[math.pi*n/128 for n in range(128)])
cs('kSbrAnaPostComplex',[-math.pi*(2*k+1)*0.5/128 for k in range(32)])
cs('kSbrAnaPostReal',[-math.pi*(2*k+1)*96/128 for k in range(32)])
cs('kSbrSyn64PreComplex',[-math.pi*(2*k+1)*255/256 for k in range(64)])
cs('kSbrSyn64PreReal',[-math.pi*(2*k+1)*64/256 for k in range(64)])
cs('kSbrSyn32PreComplex',[-math.pi*(2*k+1)*127.5/128 for k in range(32)])
cs('kSbrSyn32PreReal',[-math.pi*(2*k+1)*32/128 for k in range(32)])
open('sbr_tables_gen.inc','w').write('\n'.join(out)+'\n')
