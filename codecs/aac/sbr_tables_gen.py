#!/usr/bin/env python3
# Generates the QMF window (a Kaiser-windowed sinc designed here for
# near-perfect reconstruction; stand-in until the standard's values are
# typed in) and the twiddle tables pasted into sbr_tables.cpp.
import math, cmath, sys
N=641; M=64
def i0(x):
    s=1.0; t=1.0; k=1
    while True:
        t*= (x/2/k)**2; s+=t; k+=1
        if t<1e-17*s: return s
def proto(wc,beta):
    p=[]
    a=320.0
    for n in range(N):
        m=n-a
        h = wc/math.pi if m==0 else math.sin(wc*m)/(math.pi*m)
        r=(n-a)/a
        p.append(h*i0(beta*math.sqrt(max(0,1-r*r)))/i0(beta))
    return p
def resp(p,w):
    re=sum(p[n]*math.cos(w*n) for n in range(N)); im=sum(p[n]*math.sin(w*n) for n in range(N))
    return re*re+im*im
def err(p):
    g=[i*(math.pi/M)/40 for i in range(41)]
    vals=[resp(p,w)+resp(p,w-math.pi/M) for w in g]
    m=sum(vals)/len(vals)
    return max(abs(v/m-1) for v in vals)
beta=8.8

A=0.5; K=127.5
AK=[[2*cmath.exp(1j*math.pi*(k+0.5)*(2*n-A)/64) for n in range(64)] for k in range(32)]
SK=[[cmath.exp(1j*math.pi*(k+0.5)*(2*n-K)/64)/32 for k in range(32)] for n in range(64)]
def rest(p):
    p=[64*v for v in p[:640]]
    c=[p[n]*(-1)**(n//128) for n in range(640)]
    tot=0
    for P in (650,655):
        L=32*32
        inp=[1.0 if i==P else 0.0 for i in range(L)]
        x=[0.0]*320; v=[0.0]*640; out=[]
        for s in range(L//32):
            x=[inp[s*32+31-i] for i in range(32)]+x[:288]
            u=[sum(x[n+64*j]*c[2*(n+64*j)] for j in range(5)) for n in range(64)]
            X=[sum(u[n]*AK[k][n] for n in range(64)) for k in range(32)]
            v=[0.0]*64+v[:576]
            for n in range(64): v[n]=sum((X[k]*SK[n][k]).real for k in range(32))
            g=[0.0]*320
            for i in range(5):
                for j in range(32):
                    g[64*i+j]=v[128*i+j]; g[64*i+32+j]=v[128*i+96+j]
            out+=[sum(g[32*i+j]*c[2*(32*i+j)] for i in range(10)) for j in range(32)]
        e=sum(v*v for j,v in enumerate(out) if j!=P+289)+(out[P+289]-1)**2
        tot+=e
    return tot

base=math.pi/128
lo,hi=base*1.18,base*1.23
for it in range(14):
    a=lo+(hi-lo)/3; b=hi-(hi-lo)/3
    if rest(proto(a,beta))<rest(proto(b,beta)): hi=b
    else: lo=a
p=proto((lo+hi)/2,beta)[:640]
import math
c=[64*p[n]*(-1)**(n//128) for n in range(640)]
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
print('max c',max(abs(x) for x in c))
arr('kSbrQmfWindow',[q15(x) for x in c])
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
