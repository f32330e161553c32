#!/usr/bin/env python3
# Generates the twiddle tables of the QMF transforms pasted into
# sbr_tables.cpp (the FFT's) and sbr_dct_tables.cpp (the others).
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
# The transforms' twiddles (sbr_dct_tables.cpp).
for N in (64,32):
    M=N//2
    cs('kSbrDct4Pre%d'%N,[-math.pi*(4*m+1)/(4*N) for m in range(M)])
    cs('kSbrDct4Post%d'%N,[-math.pi*p/N for p in range(M)])
    cs('kSbrDct2Split%d'%N,[-2*math.pi*m/N for m in range(M+1)])
    cs('kSbrDct2Post%d'%N,[-math.pi*m/(2*N) for m in range(M+1)])
cs('kSbrSyn32Turn',[-math.pi*(k+0.5)/128 for k in range(32)])
cs('kSbrAnaTurnComplex',[-3*math.pi*(k+0.5)/128 for k in range(32)])
open('sbr_tables_gen.inc','w').write('\n'.join(out)+'\n')
